#include "ui/main/resultfetch.h"

#include "fetch/address.h"
#include "import/resultimport.h"
#include "settings/settingsstore.h"
#include "platform/services.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace omvex::ui {

namespace {

const QString kAddressExplanation = QStringLiteral(
    "取得する結果ファイルのアドレス（URL）を入力してください。\n"
    "「取込」で読める形式（回号,本数字6個,ボーナス数字 の行、または回号,抽選日,本数字,ボーナス数字 の列を"
    "持つ CSV）で、すべての回の結果を載せているファイルのアドレスです。http:// か https:// で始まります。\n"
    "アドレスは omvex.ini に保存され、次からはすぐに取得します。プログラムは、この操作をしたときだけ"
    "そのアドレスに接続します。");

// The address as it is kept and fetched: encoded, so that it reads back exactly.
QString keptText(const QUrl &url)
{
    return url.toString(QUrl::FullyEncoded);
}

} // namespace

QString ScreenFetchDialogs::askAddress(QWidget *parent, const QString &current, const QString &problem)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(kFetchTitle);
    auto *layout = new QVBoxLayout(&dialog);
    auto *explanation = new QLabel(kAddressExplanation, &dialog);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    auto *edit = new QLineEdit(current, &dialog);
    edit->setObjectName(QStringLiteral("fetchAddress"));
    edit->setPlaceholderText(QStringLiteral("https://"));
    edit->setMinimumWidth(480);
    layout->addWidget(edit);
    auto *note = new QLabel(problem, &dialog);
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: #b00000"));
    note->setVisible(!problem.isEmpty());
    layout->addWidget(note);
    auto *buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    // OK keeps the dialog open until the address is one the fetch can use, and says why not.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        QString why;
        if (fetch::parseAddress(edit->text(), &why)) {
            dialog.accept();
        } else {
            note->setText(why);
            note->show();
        }
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return dialog.exec() == QDialog::Accepted ? edit->text().trimmed() : QString();
}

ResultFetch::ResultFetch(QString iniPath, QString kakoPath, ImportDialogs &importDialogs, FetchDialogs &fetchDialogs,
                         platform::MessageBox &messages, fetch::TransferMaker makeTransfer,
                         fetch::DownloadLimits limits, QWidget *parent)
    : QObject(parent)
    , m_iniPath(std::move(iniPath))
    , m_kakoPath(std::move(kakoPath))
    , m_importDialogs(importDialogs)
    , m_fetchDialogs(fetchDialogs)
    , m_messages(messages)
    , m_makeTransfer(std::move(makeTransfer))
    , m_limits(limits)
    , m_parent(parent)
{
}

ResultFetch::~ResultFetch()
{
    delete m_progress;
}

void ResultFetch::start()
{
    const SettingsStore store(m_iniPath);
    const QString kept = store.readFetchAddress();
    QString problem;
    std::optional<QUrl> url = fetch::parseAddress(kept, &problem);
    if (!url) {
        // Nothing kept yet is no problem to show; a kept address that cannot be used is.
        const QString text =
            m_fetchDialogs.askAddress(m_parent, kept, kept.trimmed().isEmpty() ? QString() : problem);
        url = fetch::parseAddress(text, &problem);
        if (!url) {
            emit finished(false, {});
            return;
        }
        const Status saved = store.saveFetchAddress(keptText(*url));
        if (!saved.ok)
            m_messages.show(kFetchTitle, saved.message + QStringLiteral("\n今回はこのアドレスから取得します。"));
    }
    download(*url);
}

void ResultFetch::download(const QUrl &url)
{
    m_download = m_makeTransfer(url, m_limits);
    auto *progress = new QProgressDialog(m_parent);
    m_progress = progress;
    progress->setObjectName(QStringLiteral("fetchProgress"));
    progress->setWindowTitle(kFetchTitle);
    progress->setLabelText(QStringLiteral("結果ファイルを取得しています\n%1").arg(url.toDisplayString(QUrl::RemovePassword)));
    progress->setCancelButtonText(QStringLiteral("キャンセル"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    progress->setRange(0, 0); // until the size is known
    connect(progress, &QProgressDialog::canceled, this, &ResultFetch::cancel);
    progress->show();
    // The summary dialogs wait on the user: not inside the network reply's own signal.
    m_download->start([this](qint64 received, qint64 total) { showProgress(received, total); },
                      [this] { QMetaObject::invokeMethod(this, &ResultFetch::downloadEnded, Qt::QueuedConnection); });
}

void ResultFetch::showProgress(qint64 received, qint64 total)
{
    if (!m_progress)
        return;
    // Within the size limit, which fits an int: a larger download ends before it shows.
    if (total > 0 && total <= m_limits.maxBytes)
        m_progress->setRange(0, static_cast<int>(total));
    if (m_progress->maximum() > 0)
        m_progress->setValue(static_cast<int>(std::min(received, static_cast<qint64>(m_progress->maximum()))));
}

void ResultFetch::cancel()
{
    if (m_download)
        m_download->cancel();
}

void ResultFetch::downloadEnded()
{
    delete m_progress;
    const fetch::DownloadResult result = m_download->result();
    const QString address = keptText(m_download->url().adjusted(QUrl::RemovePassword));
    m_download.reset();
    if (result.code == QLatin1String("cancelled")) {
        emit finished(false, {});
        return;
    }
    if (!result.ok()) {
        m_messages.show(kFetchTitle, result.message);
        emit finished(false, {});
        return;
    }
    const QString kakoPath = m_kakoPath;
    const std::optional<QString> written = carryOutImport(
        [&](bool replace) { return planImportData(result.body, address, kakoPath, replace, LockWait::Once); },
        m_importDialogs, m_parent);
    emit finished(written.has_value(), written.value_or(QString()));
}

} // namespace omvex::ui
