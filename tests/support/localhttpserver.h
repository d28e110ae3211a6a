#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <chrono>
#include <memory>

class QSslConfiguration;
class QTcpSocket;

namespace omvex::test {

// A small HTTP/1.1 server on 127.0.0.1 and a free port, in the test's own thread: each answer is
// scripted by its path, including the ways a real server fails. Each connection serves one request.
class LocalHttpServer final : public QObject {
    Q_OBJECT

public:
    struct Answer {
        QByteArray status = "200 OK";
        QByteArray headers; // further header lines, each ending in "\r\n"
        QByteArray body;
        bool sendsLength = true;   // a Content-Length header; without it the body ends with the connection
        qint64 stopAfter = -1;     // send only this many bytes of the body, then nothing more
        bool closesAtStop = false; // at stopAfter cut the connection rather than keep it open, silent
        bool answers = true;       // false: take the request and never answer
        int pieceBytes = 0;        // the body in pieces of this size, one per pieceDelay
        std::chrono::milliseconds pieceDelay{0};
    };

    // With tls, the server speaks HTTPS with that configuration's certificate and key.
    explicit LocalHttpServer(const QSslConfiguration *tls = nullptr);

    bool isListening() const { return m_server->isListening(); }
    QUrl url(const QString &path) const;
    void serve(const QByteArray &path, Answer answer) { m_answers.insert(path, std::move(answer)); }
    int requestCount(const QByteArray &path) const { return m_requests.value(path); }

private:
    void readRequest(QTcpSocket *socket);
    void sendBody(QTcpSocket *socket, const Answer &answer, qint64 from);

    std::unique_ptr<QTcpServer> m_server;
    bool m_isTls = false;
    QHash<QByteArray, Answer> m_answers;
    QHash<QByteArray, int> m_requests;
};

} // namespace omvex::test
