#pragma once

// Fetching a results file from an address the user gave: what a download is asked and what it gives.
// The body is kept in memory only, and nothing is fetched unless asked: the download is the one place
// where the program uses the network (fetch/network).

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

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

// One download, driven by the event loop of the thread that started it.
class Transfer {
public:
    virtual ~Transfer() = default;

    // progress hears of the bytes so far and of the size (-1 while unknown); finished is called once,
    // when the download has ended, and may be called before start() returns.
    virtual void start(std::function<void(qint64 received, qint64 total)> progress,
                       std::function<void()> finished) = 0;
    // Ends the download with code "cancelled", unless it has already ended.
    virtual void cancel() = 0;
    virtual const QUrl &url() const = 0;
    virtual const DownloadResult &result() const = 0;
};

using TransferMaker = std::function<std::unique_ptr<Transfer>(const QUrl &url, const DownloadLimits &limits)>;

} // namespace omvex::fetch
