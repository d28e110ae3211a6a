#pragma once

// Downloads over Qt's network library: the tool links them, the window loads them from the module
// beside the program when the user first fetches (fetch/transfermodule.h).

#include "fetch/transfer.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace omvex::fetch {

// One download, driven by the event loop of the thread it lives in: only HTTP 200 is a result, at
// most kMaxRedirects redirects and only to http or https (never from https to http), the body
// stops at the limit, and certificate errors are never ignored.
class Download final : public QObject {
    Q_OBJECT

public:
    Download(QNetworkAccessManager &manager, QUrl url, DownloadLimits limits = {}, QObject *parent = nullptr);
    ~Download() override;

    void start();
    // Ends the download with code "cancelled", unless it has already ended.
    void cancel();

    bool isFinished() const { return m_isFinished; }
    const QUrl &url() const { return m_url; }
    const DownloadResult &result() const { return m_result; }

signals:
    // total is -1 while the size is unknown.
    void progress(qint64 received, qint64 total);
    void finished();

private:
    void checkHeaders();
    void readBody();
    void finishReply();
    // Ends the download as failed: the body is dropped and the reply aborted.
    void stop(const QString &code, const QString &reason);
    void finish();
    int statusOfReply() const;
    QString statusText(int status) const;
    QString tooLargeText() const;
    QString redirectTarget() const;

    QNetworkAccessManager &m_manager;
    QUrl m_url;
    QString m_tlsProblem;
    DownloadLimits m_limits;
    QPointer<QNetworkReply> m_reply;
    DownloadResult m_result;
    bool m_isFinished = false;
    bool m_isRefused = false; // an answer not worth reading: its body is left unread
};

// Downloads url and returns when it has ended, running an event loop of its own meanwhile. For the
// tool; the window uses Download so that it keeps answering.
DownloadResult downloadNow(const QUrl &url, DownloadLimits limits = {});

// A Download with a network access manager of its own, behind the Transfer interface.
std::unique_ptr<Transfer> makeNetworkTransfer(const QUrl &url, const DownloadLimits &limits);

} // namespace omvex::fetch
