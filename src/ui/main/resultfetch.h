#pragma once

// "最新結果の取得": the results file at the address the user set, downloaded in the background
// with a progress dialog, then the same summary, question and checked write as "取込".

#include "fetch/transfer.h"
#include "ui/main/historyintake.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;

namespace omvex::platform {
class MessageBox;
}

namespace omvex::ui {

// The caption of the fetch's dialogs and messages.
inline const QString kFetchTitle = QStringLiteral("最新結果の取得");

// What the fetch asks of the user beyond the import's own dialogs. Tests answer in its place.
class FetchDialogs {
public:
    virtual ~FetchDialogs() = default;
    // The address to fetch from; current is the text to start from, problem (empty or one line)
    // why it cannot be used. Returns empty when the user cancelled.
    virtual QString askAddress(QWidget *parent, const QString &current, const QString &problem) = 0;
};

class ScreenFetchDialogs final : public FetchDialogs {
public:
    QString askAddress(QWidget *parent, const QString &current, const QString &problem) override;
};

// The window's services for the fetch; each left empty gets the real thing (makeTransfer: the
// download module beside the program, loaded at the first fetch).
struct FetchServices {
    FetchDialogs *dialogs = nullptr;
    fetch::DownloadLimits limits;
    fetch::TransferMaker makeTransfer;
};

// One run of the command, from asking for the address to the reloaded history. The window keeps
// answering throughout: the download runs on its event loop behind a window-modal progress dialog.
class ResultFetch final : public QObject {
    Q_OBJECT

public:
    ResultFetch(QString iniPath, QString kakoPath, ImportDialogs &importDialogs, FetchDialogs &fetchDialogs,
                platform::MessageBox &messages, fetch::TransferMaker makeTransfer, fetch::DownloadLimits limits,
                QWidget *parent);
    ~ResultFetch() override;

    // Asks for the address when none usable is kept, then starts the download. Emits finished
    // when the user cancels the address, too.
    void start();
    // Ends a download still running; nothing is written.
    void cancel();

signals:
    // written: kako.txt was written; what says what was ("72回分を追加しました").
    void finished(bool written, const QString &what);

private:
    void download(const QUrl &url);
    void downloadEnded();
    void showProgress(qint64 received, qint64 total);

    QString m_iniPath;
    QString m_kakoPath;
    ImportDialogs &m_importDialogs;
    FetchDialogs &m_fetchDialogs;
    platform::MessageBox &m_messages;
    fetch::TransferMaker m_makeTransfer;
    fetch::DownloadLimits m_limits;
    QWidget *m_parent;
    std::unique_ptr<fetch::Transfer> m_download;
    QPointer<QProgressDialog> m_progress;
};

} // namespace omvex::ui
