#include "base/FileDescriptor.h"

#include <unistd.h>

#include <cerrno>

namespace pellucine {

FileDescriptor::~FileDescriptor() {
    (void)close();
}

bool FileDescriptor::writeAll(QByteArrayView data) const {
    const char* next = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, next, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

int FileDescriptor::close() {
    if (fd_ < 0) {
        return 0;
    }
    // Linux releases the descriptor even when close reports an interruption.
    const int result = ::close(fd_);
    fd_ = -1;
    return result != 0 && errno != EINTR ? errno : 0;
}

}  // namespace pellucine
