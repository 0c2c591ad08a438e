#include "app/InstanceChannel.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <memory>

#include "app/InstanceMessage.h"

namespace pellucine {

namespace {

const QByteArray acceptedReply = QByteArrayLiteral("ok\n");
const QByteArray refusedReply = QByteArrayLiteral("error\n");

// Between attempts to reach an instance that is still starting.
constexpr unsigned long retryPauseMs = 25;

}  // namespace

InstanceChannel::InstanceChannel(QString runtimeFolder, QObject* parent)
    : QObject(parent),
      folder_(std::move(runtimeFolder)),
      lock_(folder_ + QLatin1Char('/') + lockName) {
    // Staleness is decided by whether the holder still runs, never by age.
    lock_.setStaleLockTime(0);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceChannel::accept);
}

InstanceChannel::~InstanceChannel() {
    server_.close();
}

QString InstanceChannel::userRuntimeFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString InstanceChannel::socketPath() const {
    return folder_ + QLatin1Char('/') + socketName;
}

QString InstanceChannel::lockPath() const {
    return lock_.fileName();
}

InstanceChannel::Claim InstanceChannel::claim(const QStringList& links,
                                              std::chrono::milliseconds patience) {
    const QByteArray message = InstanceMessage::encode(links);
    const QDeadlineTimer deadline(patience);
    while (true) {
        if (lock_.tryLock(0)) {
            return becomePrimary();
        }
        if (lock_.error() != QLockFile::LockFailedError) {
            // Without a lock nothing can be coordinated: run alone.
            return {Role::primary,
                    QStringLiteral("Could not create the lock file %1").arg(lockPath())};
        }
        const int remaining = static_cast<int>(qMax<qint64>(deadline.remainingTime(), 0));
        switch (deliver(message, remaining)) {
            case Delivery::delivered:
                return {Role::forwarded, std::nullopt};
            case Delivery::refused:
                return {Role::failed, QStringLiteral("The running Pellucine refused the links.")};
            case Delivery::unreachable:
                break;
        }
        if (deadline.hasExpired()) {
            return {Role::failed,
                    QStringLiteral("Pellucine is already running but did not answer on %1.")
                        .arg(socketPath())};
        }
        QThread::msleep(retryPauseMs);
    }
}

InstanceChannel::Claim InstanceChannel::becomePrimary() {
    // Holding the lock, any socket file left here belongs to an instance that has ended.
    QLocalServer::removeServer(socketPath());
    if (!server_.listen(socketPath())) {
        return {
            Role::primary,
            QStringLiteral("Could not listen on %1: %2").arg(socketPath(), server_.errorString())};
    }
    return {Role::primary, std::nullopt};
}

InstanceChannel::Delivery InstanceChannel::deliver(const QByteArray& message, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    const QDeadlineTimer deadline(timeoutMs);
    if (!socket.waitForConnected(timeoutMs)) {
        return Delivery::unreachable;
    }
    socket.write(message);
    socket.flush();
    QByteArray reply;
    while (!reply.contains('\n')) {
        const int remaining = static_cast<int>(qMax<qint64>(deadline.remainingTime(), 0));
        if (!socket.waitForReadyRead(remaining)) {
            // The instance went away before answering, or never answered.
            return Delivery::unreachable;
        }
        reply += socket.readAll();
    }
    return reply == acceptedReply ? Delivery::delivered : Delivery::refused;
}

void InstanceChannel::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto reader = std::make_shared<InstanceMessageReader>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader] {
            const InstanceMessageReader::State before = reader->state();
            const InstanceMessageReader::State state = reader->feed(socket->readAll());
            if (before != InstanceMessageReader::State::reading ||
                state == InstanceMessageReader::State::reading) {
                return;
            }
            if (state == InstanceMessageReader::State::complete) {
                const InstanceMessage& message = reader->message();
                for (const QString& link : message.links) {
                    emit linkReceived(link);
                }
                if (message.reopen) {
                    emit reopenRequested();
                }
            }
            socket->write(state == InstanceMessageReader::State::complete ? acceptedReply
                                                                          : refusedReply);
            socket->disconnectFromServer();
        });
    }
}

}  // namespace pellucine
