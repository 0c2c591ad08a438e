#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstring>
#include <memory>

#include "base/FileDescriptor.h"

namespace pellucine::testing {

// A connection to the local socket at `path` that sends `bytes` and nothing more, as any
// process of the user could make; null when it cannot connect.
inline std::unique_ptr<FileDescriptor> connectLocal(const QString& path,
                                                    const QByteArray& bytes = {}) {
    auto socket =
        std::make_unique<FileDescriptor>(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (!socket->isOpen() || name.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) {
        return nullptr;
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    if (::connect(socket->get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) !=
            0 ||
        !socket->writeAll(bytes)) {
        return nullptr;
    }
    return socket;
}

// The other end has closed: reading finds the end of the stream (or a reset).
inline bool closedByPeer(const FileDescriptor& socket) {
    char byte = 0;
    const ssize_t got = ::recv(socket.get(), &byte, 1, MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

}  // namespace pellucine::testing
