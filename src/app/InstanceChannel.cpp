#include "app/InstanceChannel.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace pellucine {

namespace {

const QByteArray acceptedReply = QByteArrayLiteral("ok\n");
const QByteArray refusedReply = QByteArrayLiteral("error\n");
const QByteArray droppedReply = QByteArrayLiteral("dropped\n");

// Bytes that arrived on `socket` and were not read yet, by the socket or by us.
qint64 unreadBytes(QLocalSocket& socket) {
    int pending = 0;
    if (::ioctl(static_cast<int>(socket.socketDescriptor()), FIONREAD, &pending) != 0) {
        pending = 0;
    }
    return socket.bytesAvailable() + pending;
}

// Between attempts to reach an instance that is still starting.
constexpr unsigned long retryPauseMs = 25;

}  // namespace

void InstanceChannel::LaterDeleter::operator()(QObject* object) const {
    object->deleteLater();
}

InstanceChannel::InstanceChannel(QString runtimeFolder, Scheduler& scheduler, Limits limits,
                                 QObject* parent)
    : QObject(parent),
      folder_(std::move(runtimeFolder)),
      scheduler_(scheduler),
      limits_(limits),
      lock_(folder_ + QLatin1Char('/') + lockName),
      listener_([this](int descriptor) { accept(descriptor); }) {
    // Staleness is decided by whether the holder still runs, never by age.
    lock_.setStaleLockTime(0);
}

InstanceChannel::~InstanceChannel() {
    listener_.close();
    while (!connections_.empty()) {
        end(connections_.begin()->first);
    }
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
            case Delivery::dropped:
                return {Role::failed, QStringLiteral("The running Pellucine dropped the links: too "
                                                     "many came at once. Try again in a moment.")};
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
    if (const std::optional<QString> problem = listener_.listen(socketPath())) {
        return {Role::primary,
                QStringLiteral("Could not listen on %1: %2").arg(socketPath(), *problem)};
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
    if (reply == acceptedReply) {
        return Delivery::delivered;
    }
    return reply == droppedReply ? Delivery::dropped : Delivery::refused;
}

void InstanceChannel::accept(int descriptor) {
    if (openConnections() >= limits_.connections && !makeRoom()) {
        ::close(descriptor);
        return;
    }
    std::unique_ptr<QLocalSocket, LaterDeleter> socket(new QLocalSocket);
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(descriptor);
        return;
    }
    QLocalSocket* key = socket.get();
    connect(key, &QLocalSocket::readyRead, this, [this, key] { read(key); });
    connect(key, &QLocalSocket::disconnected, this, [this, key] { end(key); });
    ScopedWork deadline(scheduler_,
                        scheduler_.postAfter(limits_.messageTime, [this, key] { end(key); }));
    connections_.emplace(key, Connection{std::move(socket), {}, std::move(deadline), ++accepted_});
    // Bytes that came with the connection are read at once.
    if (key->bytesAvailable() > 0) {
        read(key);
    }
}

bool InstanceChannel::makeRoom() {
    QLocalSocket* oldest = nullptr;
    quint64 serial = 0;
    for (auto& [socket, connection] : connections_) {
        // A connection with a whole message is being answered; one with unread bytes may be a
        // launch whose message has not been read yet.
        const bool waiting = connection.reader.state() == InstanceMessageReader::State::reading &&
                             unreadBytes(*socket) == 0;
        if (waiting && (oldest == nullptr || connection.serial < serial)) {
            oldest = socket;
            serial = connection.serial;
        }
    }
    if (oldest == nullptr) {
        return false;
    }
    end(oldest);
    return true;
}

void InstanceChannel::read(QLocalSocket* socket) {
    const auto it = connections_.find(socket);
    if (it == connections_.end()) {
        return;
    }
    InstanceMessageReader& reader = it->second.reader;
    const InstanceMessageReader::State before = reader.state();
    const InstanceMessageReader::State state = reader.feed(socket->readAll());
    if (before != InstanceMessageReader::State::reading ||
        state == InstanceMessageReader::State::reading) {
        return;
    }
    QByteArray reply = refusedReply;
    if (state == InstanceMessageReader::State::complete) {
        const InstanceMessage message = reader.message();
        bool taken = true;
        for (const QString& link : message.links) {
            taken = (!linkHandler_ || linkHandler_(link)) && taken;
        }
        if (message.reopen) {
            emit reopenRequested();
        }
        reply = taken ? acceptedReply : droppedReply;
    }
    // The connection may have ended while the links were handled.
    if (!connections_.contains(socket)) {
        return;
    }
    socket->write(reply);
    // Ends the connection once the reply is out; the deadline still bounds a peer that never
    // reads it.
    socket->disconnectFromServer();
}

void InstanceChannel::end(QLocalSocket* socket) {
    const auto it = connections_.find(socket);
    if (it == connections_.end()) {
        return;
    }
    Connection connection = std::move(it->second);
    connections_.erase(it);
    socket->disconnect(this);
    socket->abort();
}

}  // namespace pellucine
