#include "base/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <cerrno>

#include "base/FileDescriptor.h"

namespace pellucine {

namespace {

constexpr qint64 readChunk = 64 * 1024;

RegularFileRead failed(RegularFileRead::Failure failure, int errorCode = 0) {
    RegularFileRead read;
    read.failure = failure;
    read.errorCode = errorCode;
    return read;
}

}  // namespace

RegularFileRead readRegularFile(const QString& path, qint64 sizeLimit, LinkToFile link) {
    using Failure = RegularFileRead::Failure;
    int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (link == LinkToFile::refuse) {
        flags |= O_NOFOLLOW;
    }
    const FileDescriptor fd(::open(QFile::encodeName(path).constData(), flags));
    if (fd.get() < 0) {
        const int code = errno;
        if (code == ELOOP && link == LinkToFile::refuse) {
            return failed(Failure::notRegular);
        }
        return failed(code == ENOENT ? Failure::missing : Failure::unreadable, code);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return failed(Failure::unreadable, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return failed(Failure::notRegular);
    }
    if (info.st_size > sizeLimit) {
        return failed(Failure::tooLarge);
    }
    // Files of the process file system report no size: the reading goes on to the end.
    QByteArray data;
    qint64 filled = 0;
    const qint64 wanted = sizeLimit + 1;
    while (filled < wanted) {
        const qint64 room =
            std::min(wanted - filled, std::max<qint64>(info.st_size + 1, readChunk));
        data.resize(filled + room);
        const ssize_t got = ::read(fd.get(), data.data() + filled, static_cast<size_t>(room));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return failed(Failure::unreadable, errno);
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    if (filled > sizeLimit) {
        return failed(Failure::tooLarge);
    }
    data.truncate(filled);
    RegularFileRead read;
    read.data = std::move(data);
    return read;
}

}  // namespace pellucine
