#pragma once

#include <QEventLoop>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <optional>

namespace pellucine::testing {

// Serves fixed answers over HTTP/1.1 on 127.0.0.1, one request per connection, or holds a
// request unanswered.
class LoopbackServer {
  public:
    struct Answer {
        int status = 200;
        QByteArray body;
        // The Content-Length sent; a larger one than the body makes a cut-off transfer.
        std::optional<qint64> declaredLength;
        // False: the request is read and the connection kept open with no answer.
        bool answers = true;
    };

    LoopbackServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { answer(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    void serve(const QString& path, Answer answer) { answers_.insert(path, std::move(answer)); }
    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
    }
    const QStringList& requests() const { return requests_; }

  private:
    void answer(QTcpSocket* socket) {
        QByteArray& pending = buffers_[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n")) {
            return;
        }
        const QList<QByteArray> requestLine = pending.left(pending.indexOf("\r\n")).split(' ');
        buffers_.remove(socket);
        const QString path = requestLine.value(1);
        requests_ << path;
        const Answer reply = answers_.value(path, Answer{404, "not here", std::nullopt});
        if (!reply.answers) {
            return;
        }
        socket->write("HTTP/1.1 " + QByteArray::number(reply.status) +
                      " Answer\r\nContent-Length: " +
                      QByteArray::number(reply.declaredLength.value_or(reply.body.size())) +
                      "\r\nConnection: close\r\n\r\n" + reply.body);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QString, Answer> answers_;
    QHash<QTcpSocket*, QByteArray> buffers_;
    QStringList requests_;
};

// Runs the event loop until `done` holds or `timeoutMs` passes; never sleeps.
inline bool runUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    QTimer timeout;
    timeout.setSingleShot(true);
    timeout.start(timeoutMs);
    QEventLoop loop;
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    while (!done() && timeout.isActive()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

}  // namespace pellucine::testing
