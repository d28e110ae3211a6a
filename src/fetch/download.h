#pragma once

// Fetching a results file from an address the user gave. The body is kept in memory only, and
// nothing is fetched unless asked: this is the one place where the program uses the network.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace omvex::fetch {

// A complete results file of every draw is a few hundred kilobytes; anything this large is not one.
inline constexpr qint64 kMaxDownloadBytes = 16 * 1024 * 1024;
// No byte for this long (no answer at all, or a transfer that stalls) ends the download.
inline constexpr std::chrono::milliseconds kTransferTimeout{30'000};
inline constexpr int kMaxRedirects = 5;

struct DownloadLimits {
    std::chrono::milliseconds timeout = kTransferTimeout;
    qint64 maxBytes = kMaxDownloadBytes;
};

// How a download ended. code is empty on success; otherwise one of "timeout", "http-status",
// "redirect", "too-large", "tls", "network" or "cancelled", with one Japanese line in message.
struct DownloadResult {
    QByteArray body;
    int httpStatus = 0; // of the last answer; 0 when none came
    QString code;
    QString message;

    bool ok() const { return code.isEmpty(); }
};

// text as an address to fetch from: an absolute http or https URL with a host. nullopt, with one
// Japanese line in *error, for anything else.
std::optional<QUrl> parseAddress(const QString &text, QString *error);

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

} // namespace omvex::fetch
