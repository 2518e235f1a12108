#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

#include <functional>

namespace veltrik::testing {

// A small HTTP server on 127.0.0.1 with a free port, answering GET requests from the event loop of the
// thread that made it.
class LocalHttpServer : public QObject {
    Q_OBJECT

public:
    struct Response {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray location; // where a redirect leads
        int delayMs = 0;     // answer late
        bool drop = false;   // close the connection without an answer

        static Response html(int status, QByteArray body)
        {
            Response response;
            response.status = status;
            response.body = std::move(body);
            return response;
        }
    };
    using Handler = std::function<Response(const QByteArray &target)>;

    explicit LocalHttpServer(Handler handler, QObject *parent = nullptr);

    // Listens on 127.0.0.1, on `port` or a free one when 0. The constructor already listens on a free port.
    bool listen(quint16 port = 0);

    // Base address, "http://127.0.0.1:PORT".
    QString base() const;

private:
    void onNewConnection();

    QTcpServer m_server;
    Handler m_handler;
};

} // namespace veltrik::testing
