#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <limits>
#include <optional>

namespace pellucine {

// Reads the last lines of a log from its end, a block at a time, so that time and memory follow
// what is returned rather than the size of the file. A line counts when it is not empty, is
// valid UTF-8 and is at most `maximumLineLength` bytes long; others (torn, corrupted or absurd)
// are passed over and cost only themselves. Reading also stops before the lines that count,
// each with its line break, would come to more than `maximumTotalBytes`.
struct LogTail {
    static constexpr qsizetype defaultBlockSize = 64 * 1024;
    static constexpr qsizetype defaultMaximumLineLength = 64 * 1024;

    qsizetype blockSize = defaultBlockSize;
    qsizetype maximumLineLength = defaultMaximumLineLength;
    qsizetype maximumTotalBytes = std::numeric_limits<qsizetype>::max();

    // The last `count` lines that count, oldest first, without their line breaks. Nothing when
    // the file cannot be opened or read, or is not a regular file (a pipe is never waited on).
    std::optional<QList<QByteArray>> lastLines(const QString& path, qsizetype count) const;
    // The same from an open file, which is read by position up to its size now.
    std::optional<QList<QByteArray>> lastLines(int fd, qsizetype count) const;

    static bool isValidUtf8(QByteArrayView bytes);
};

}  // namespace pellucine
