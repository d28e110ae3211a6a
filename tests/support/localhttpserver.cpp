#include "support/localhttpserver.h"

#include <QHostAddress>
#include <QPointer>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace omvex::test {

LocalHttpServer::LocalHttpServer(const QSslConfiguration *tls)
{
    if (tls) {
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(*tls);
        m_server = std::move(server);
        m_isTls = true;
    } else {
        m_server = std::make_unique<QTcpServer>();
    }
    m_server->listen(QHostAddress::LocalHost, 0);
    connect(m_server.get(), &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        }
    });
}

QUrl LocalHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                    .arg(m_isTls ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(m_server->serverPort())
                    .arg(path));
}

void LocalHttpServer::readRequest(QTcpSocket *socket)
{
    if (socket->property("busy").toBool())
        return;
    const QByteArray waiting = socket->peek(socket->bytesAvailable());
    const qsizetype headEnd = waiting.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    const QByteArray head = socket->read(headEnd + 4);
    socket->setProperty("busy", true);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QByteArray path = requestLine.size() > 1 ? requestLine[1] : QByteArray();
    ++m_requests[path];
    Answer answer;
    if (m_answers.contains(path)) {
        answer = m_answers.value(path);
    } else {
        answer.status = "404 Not Found";
        answer.body = "not here";
    }
    if (!answer.answers)
        return;
    QByteArray response = "HTTP/1.1 " + answer.status + "\r\n" + answer.headers;
    if (answer.sendsLength)
        response += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    else
        response += "Connection: close\r\n";
    socket->write(response + "\r\n");
    sendBody(socket, answer, 0);
}

void LocalHttpServer::sendBody(QTcpSocket *socket, const Answer &answer, qint64 from)
{
    const qint64 end = answer.stopAfter >= 0 ? std::min<qint64>(answer.stopAfter, answer.body.size()) : answer.body.size();
    const qint64 until = answer.pieceBytes > 0 ? std::min<qint64>(from + answer.pieceBytes, end) : end;
    socket->write(answer.body.mid(from, until - from));
    if (until < end) {
        QPointer<QTcpSocket> alive(socket);
        QTimer::singleShot(answer.pieceDelay, this, [this, alive, answer, until] {
            if (alive && alive->state() == QAbstractSocket::ConnectedState)
                sendBody(alive, answer, until);
        });
    } else if (end == answer.body.size() && !answer.sendsLength) {
        socket->disconnectFromHost();
    } else if (end == answer.body.size()) {
        // Kept open for the client's next request, as a real server does.
        socket->setProperty("busy", false);
        readRequest(socket);
    } else if (answer.closesAtStop) {
        socket->flush();
        socket->abort();
    }
}

} // namespace omvex::test
