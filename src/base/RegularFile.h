#pragma once

#include <QByteArray>
#include <QString>

namespace pellucine {

// What reading a file gave: its bytes, or why there are none.
struct RegularFileRead {
    enum class Failure {
        none,
        missing,
        // A pipe, device, socket or folder; or a link where links are refused.
        notRegular,
        tooLarge,
        unreadable,
    };

    QByteArray data;
    Failure failure = Failure::none;
    // The system's error code (errno) behind `missing` and `unreadable`.
    int errorCode = 0;

    bool ok() const { return failure == Failure::none; }
};

enum class LinkToFile { follow, refuse };

// Reads the regular file at `path` if it holds at most `sizeLimit` bytes. Never waits: the
// file is opened without blocking (a named pipe nobody writes to would block a plain open
// forever) and checked before anything is read. A file that grows past the limit while it is
// read is too large as well.
RegularFileRead readRegularFile(const QString& path, qint64 sizeLimit,
                                LinkToFile link = LinkToFile::follow);

}  // namespace pellucine
