#include "localhttpserver.h"

#include <QTcpSocket>
#include <QTimer>

namespace veltrik::testing {

LocalHttpServer::LocalHttpServer(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::onNewConnection);
}

bool LocalHttpServer::listen(quint16 port)
{
    if (m_server.isListening() && (port == 0 || port == m_server.serverPort()))
        return true;
    m_server.close();
    return m_server.listen(QHostAddress::LocalHost, port);
}

QString LocalHttpServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

void LocalHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            const QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
            socket->setProperty("buffer", buffer);
            if (!buffer.contains("\r\n\r\n"))
                return;
            const QByteArray requestLine = buffer.left(buffer.indexOf("\r\n"));
            const QList<QByteArray> parts = requestLine.split(' ');
            const QByteArray target = parts.value(1);
            const Response response = m_handler(target);
            if (response.drop) {
                socket->abort();
                return;
            }
            QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + " X\r\n";
            reply += "Content-Type: " + response.contentType + "\r\n";
            if (!response.location.isEmpty())
                reply += "Location: " + response.location + "\r\n";
            reply += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
            reply += "Connection: close\r\n\r\n" + response.body;
            QTimer::singleShot(response.delayMs, socket, [socket, reply] {
                socket->write(reply);
                socket->disconnectFromHost();
            });
        });
    }
}

} // namespace veltrik::testing
