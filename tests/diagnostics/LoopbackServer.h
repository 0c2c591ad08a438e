#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <optional>

namespace pellucine::testing {

using namespace Qt::StringLiterals;

// An HTTP server on 127.0.0.1 inside the test: it keeps each whole request it reads and
// answers with `answer`, or holds the connection open while `answer` is empty.
class LoopbackServer : public QObject {
  public:
    struct Answer {
        int status = 200;
        QByteArray body;
    };
    std::optional<Answer> answer = Answer{};
    // Request line and headers, then the body.
    QList<std::pair<QByteArray, QByteArray>> requests;

    LoopbackServer() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        });
    }

    QUrl url() const { return QUrl(u"http://127.0.0.1:%1/report"_s.arg(server_.serverPort())); }

    // An address on which nothing listens.
    static QUrl closedUrl() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return QUrl(u"http://127.0.0.1:%1/report"_s.arg(probe.serverPort()));
    }

  private:
    void read(QTcpSocket* socket) {
        QByteArray& buffer = buffers_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n") + 4;
        if (end < 4) {
            return;
        }
        const QByteArray head = buffer.first(end);
        const qsizetype at = head.indexOf("Content-Length: ") + 16;
        if (buffer.size() < end + head.sliced(at, head.indexOf('\r', at) - at).toLongLong()) {
            return;
        }
        requests.append({head, buffer.sliced(end)});
        if (answer) {
            socket->write("HTTP/1.1 " + QByteArray::number(answer->status) +
                          " X\r\nContent-Length: " + QByteArray::number(answer->body.size()) +
                          "\r\n\r\n" + answer->body);
            socket->disconnectFromHost();
        }
    }

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> buffers_;
};

}  // namespace pellucine::testing
