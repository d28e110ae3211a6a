#include "fetch/network/download.h"
#include "omvex/appinfo.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#if QT_CONFIG(ssl)
#include <QSslError>
#endif

#include <utility>

namespace omvex::fetch {

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;

// A password given in the address is the user's secret: messages never repeat it.
QString shown(const QUrl &url)
{
    return url.toDisplayString(QUrl::RemovePassword);
}

QString sizeText(qint64 bytes)
{
    return bytes % kMegabyte == 0 ? QStringLiteral("%1 MB").arg(bytes / kMegabyte)
                                  : QStringLiteral("%1 バイト").arg(bytes);
}

QString secondsText(std::chrono::milliseconds timeout)
{
    return QString::number(static_cast<double>(timeout.count()) / 1000.0);
}

} // namespace

Download::Download(QNetworkAccessManager &manager, QUrl url, DownloadLimits limits, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_url(std::move(url))
    , m_limits(limits)
{
}

Download::~Download()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void Download::start()
{
    QNetworkRequest request(m_url);
    request.setTransferTimeout(static_cast<int>(m_limits.timeout.count()));
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    // Qt's own checks of each redirect: only to http or https, and never from https down to http.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Omvex/%1").arg(QLatin1String(kVersionText)));
    m_reply = m_manager.get(request);

    connect(m_reply, &QNetworkReply::metaDataChanged, this, &Download::checkHeaders);
    connect(m_reply, &QNetworkReply::readyRead, this, &Download::readBody);
    // A redirect's own body is not the result.
    connect(m_reply, &QNetworkReply::redirected, this, [this] { m_result.body.clear(); });
    connect(m_reply, &QNetworkReply::downloadProgress, this, &Download::progress);
    connect(m_reply, &QNetworkReply::finished, this, &Download::finishReply);
#if QT_CONFIG(ssl)
    // Never ignored: the handshake then fails, and the first error says why.
    connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError> &errors) {
        if (!errors.isEmpty() && m_tlsProblem.isEmpty())
            m_tlsProblem = errors.front().errorString();
    });
#endif
}

void Download::cancel()
{
    stop(QStringLiteral("cancelled"), QStringLiteral("取得を取り消しました"));
}

int Download::statusOfReply() const
{
    return m_reply ? m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
}

QString Download::statusText(int status) const
{
    const QString reason =
        m_reply ? m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed() : QString();
    return reason.isEmpty() ? QStringLiteral("サーバーが HTTP %1 を返しました").arg(status)
                            : QStringLiteral("サーバーが HTTP %1（%2）を返しました").arg(status).arg(reason);
}

void Download::checkHeaders()
{
    const int status = statusOfReply();
    m_result.httpStatus = status;
    // A redirect is followed or refused by Qt, and an interim answer (1xx) is followed by the real
    // one; any other answer but 200 is not worth reading.
    if (status >= 200 && status != 200 && (status < 300 || status > 399)) {
        // Qt may be ending the reply with an error of its own for this answer; aborting it from
        // inside that would end it twice.
        m_isRefused = true;
        QMetaObject::invokeMethod(this, [this, status] { stop(QStringLiteral("http-status"), statusText(status)); },
                                  Qt::QueuedConnection);
        return;
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (status == 200 && length.isValid() && length.toLongLong() > m_limits.maxBytes)
        stop(QStringLiteral("too-large"), tooLargeText());
}

QString Download::tooLargeText() const
{
    return QStringLiteral("%1 を超えるため、読むのをやめました（結果ファイルではありません）").arg(sizeText(m_limits.maxBytes));
}

QString Download::redirectTarget() const
{
    const QUrl target = m_reply->url().resolved(QUrl::fromEncoded(m_reply->rawHeader("Location")));
    return shown(target);
}

void Download::readBody()
{
    if (!m_reply || m_isFinished || m_isRefused || !m_reply->isOpen())
        return;
    // Never more than one byte past the limit, however much the server sends.
    m_result.body += m_reply->read(m_limits.maxBytes + 1 - m_result.body.size());
    if (m_result.body.size() > m_limits.maxBytes)
        stop(QStringLiteral("too-large"), tooLargeText());
}

void Download::finishReply()
{
    if (!m_reply || m_isFinished)
        return;
    readBody();
    if (m_isFinished)
        return;
    const int status = statusOfReply();
    m_result.httpStatus = status;
    const QNetworkReply::NetworkError error = m_reply->error();
    QString code;
    QString reason;
    if (error == QNetworkReply::TooManyRedirectsError) {
        code = QStringLiteral("redirect");
        reason = QStringLiteral("転送（リダイレクト）が %1 回を超えました").arg(kMaxRedirects);
    } else if (error == QNetworkReply::InsecureRedirectError) {
        code = QStringLiteral("redirect");
        reason = QStringLiteral("https から http への転送は受け付けません（%1）").arg(redirectTarget());
    } else if (error == QNetworkReply::ProtocolUnknownError && status >= 300 && status <= 399) {
        code = QStringLiteral("redirect");
        reason = QStringLiteral("http と https 以外への転送は受け付けません（%1）").arg(redirectTarget());
    } else if (status != 0 && status != 200) {
        code = QStringLiteral("http-status");
        reason = statusText(status);
    } else if (error == QNetworkReply::NoError) {
        // Success: the body is the result.
    } else if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
        // Only the transfer timeout cancels a reply that this class has not stopped itself.
        code = QStringLiteral("timeout");
        reason = QStringLiteral("%1 秒のあいだ応答がないため、やめました").arg(secondsText(m_limits.timeout));
    } else if (error == QNetworkReply::SslHandshakeFailedError || !m_tlsProblem.isEmpty()) {
        code = QStringLiteral("tls");
        reason = QStringLiteral("安全な接続（TLS）を確立できません: %1")
                     .arg(m_tlsProblem.isEmpty() ? m_reply->errorString() : m_tlsProblem);
    } else {
        code = QStringLiteral("network");
        reason = QStringLiteral("通信に失敗しました: %1").arg(m_reply->errorString());
    }
    if (!code.isEmpty()) {
        stop(code, reason);
        return;
    }
    m_reply->deleteLater();
    m_reply = nullptr;
    finish();
}

void Download::stop(const QString &code, const QString &reason)
{
    if (m_isFinished)
        return;
    m_result.code = code;
    m_result.message = QStringLiteral("%1 を取得できません: %2").arg(shown(m_url), reason);
    m_result.body = QByteArray();
    if (m_reply) {
        // Aborting finishes the reply at once; it must not come back here.
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    finish();
}

void Download::finish()
{
    m_isFinished = true;
    emit finished();
}

namespace {

class NetworkTransfer final : public Transfer {
public:
    NetworkTransfer(const QUrl &url, const DownloadLimits &limits)
        : m_download(m_manager, url, limits)
    {
    }

    void start(std::function<void(qint64, qint64)> progress, std::function<void()> finished) override
    {
        QObject::connect(&m_download, &Download::progress, &m_download, std::move(progress));
        QObject::connect(&m_download, &Download::finished, &m_download, std::move(finished));
        m_download.start();
    }
    void cancel() override { m_download.cancel(); }
    const QUrl &url() const override { return m_download.url(); }
    const DownloadResult &result() const override { return m_download.result(); }

private:
    QNetworkAccessManager m_manager; // before the download, which uses it to its end
    Download m_download;
};

} // namespace

std::unique_ptr<Transfer> makeNetworkTransfer(const QUrl &url, const DownloadLimits &limits)
{
    return std::make_unique<NetworkTransfer>(url, limits);
}

DownloadResult downloadNow(const QUrl &url, DownloadLimits limits)
{
    QNetworkAccessManager manager;
    Download download(manager, url, limits);
    QEventLoop loop;
    QObject::connect(&download, &Download::finished, &loop, &QEventLoop::quit);
    download.start();
    if (!download.isFinished())
        loop.exec();
    return download.result();
}

} // namespace omvex::fetch
