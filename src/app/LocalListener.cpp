#include "app/LocalListener.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace pellucine {

namespace {

// Connections taken per wake-up, so a flood cannot hold the main thread.
constexpr int acceptsPerWakeUp = 256;

std::unique_ptr<FileDescriptor> openSpare() {
    return std::make_unique<FileDescriptor>(::open("/dev/null", O_RDONLY | O_CLOEXEC));
}

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

}  // namespace

LocalListener::LocalListener(Accepted accepted, QObject* parent)
    : QObject(parent), accepted_(std::move(accepted)) {}

LocalListener::~LocalListener() {
    close();
}

std::optional<QString> LocalListener::listen(const QString& path) {
    close();
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) {
        return QStringLiteral("the path is longer than a socket path may be");
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    auto socket = std::make_unique<FileDescriptor>(
        ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket->isOpen()) {
        return systemError(errno);
    }
    ::unlink(name.constData());
    if (::bind(socket->get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        return systemError(errno);
    }
    if (::chmod(name.constData(), S_IRUSR | S_IWUSR) != 0 ||
        ::listen(socket->get(), SOMAXCONN) != 0) {
        const int error = errno;
        ::unlink(name.constData());
        return systemError(error);
    }
    path_ = path;
    spare_ = openSpare();
    notifier_ = std::make_unique<QSocketNotifier>(socket->get(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &LocalListener::acceptPending);
    socket_ = std::move(socket);
    return std::nullopt;
}

void LocalListener::close() {
    if (socket_ == nullptr) {
        return;
    }
    notifier_.reset();
    socket_.reset();
    spare_.reset();
    ::unlink(QFile::encodeName(path_).constData());
}

void LocalListener::acceptPending() {
    for (int taken = 0; taken < acceptsPerWakeUp && socket_ != nullptr; ++taken) {
        const int connection =
            ::accept4(socket_->get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (connection >= 0) {
            accepted_(connection);
            continue;
        }
        switch (errno) {
            case EINTR:
            case ECONNABORTED:
                continue;
            case EMFILE:
            case ENFILE:
            case ENOBUFS:
            case ENOMEM:
                dropOne();
                if (spare_ == nullptr || !spare_->isOpen()) {
                    // Nothing to free: try again on the next wake-up.
                    return;
                }
                continue;
            default:
                // EAGAIN: the queue is empty.
                return;
        }
    }
}

void LocalListener::dropOne() {
    if (spare_ == nullptr || !spare_->isOpen()) {
        spare_ = openSpare();
        return;
    }
    spare_.reset();
    const int connection = ::accept4(socket_->get(), nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0) {
        ::close(connection);
        ++dropped_;
    }
    spare_ = openSpare();
}

}  // namespace pellucine
