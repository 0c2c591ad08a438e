#include "base/LogTail.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/FileDescriptor.h"

namespace pellucine {

namespace {

// Fills `buffer` from `offset`; false on a read error or a file that shrank meanwhile.
bool readAt(int fd, off_t offset, QByteArray& buffer) {
    qsizetype done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::pread(fd, buffer.data() + done,
                                  static_cast<size_t>(buffer.size() - done), offset + done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return true;
}

// Collects lines newest first. The line being assembled grows at its front as earlier blocks
// are read; once it is longer than any line that counts, its bytes are dropped.
class LineCollector {
  public:
    LineCollector(const LogTail& tail, qsizetype count) : tail_(tail), count_(count) {}

    bool isFull() const { return budgetSpent_ || lines_.size() >= count_; }

    // Bytes that precede what was given before.
    void prepend(QByteArrayView bytes) {
        if (tooLong_) {
            return;
        }
        if (partial_.size() + bytes.size() > tail_.maximumLineLength) {
            tooLong_ = true;
            partial_.clear();
            return;
        }
        partial_.prepend(bytes);
    }

    // The line being assembled is complete: its start was reached.
    void finishLine() {
        if (!tooLong_ && !partial_.isEmpty() && LogTail::isValidUtf8(partial_)) {
            if (partial_.size() + 1 > tail_.maximumTotalBytes - totalBytes_) {
                budgetSpent_ = true;
            } else {
                totalBytes_ += partial_.size() + 1;
                lines_.append(partial_);
            }
        }
        partial_.clear();
        tooLong_ = false;
    }

    QList<QByteArray> oldestFirst() {
        std::reverse(lines_.begin(), lines_.end());
        return std::move(lines_);
    }

  private:
    const LogTail& tail_;
    qsizetype count_;
    QList<QByteArray> lines_;
    QByteArray partial_;
    bool tooLong_ = false;
    qsizetype totalBytes_ = 0;
    bool budgetSpent_ = false;
};

}  // namespace

bool LogTail::isValidUtf8(QByteArrayView bytes) {
    const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    if (std::all_of(bytes.begin(), bytes.end(), ascii)) {
        return true;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder(bytes);
    return !decoder.hasError();
}

std::optional<QList<QByteArray>> LogTail::lastLines(const QString& path, qsizetype count) const {
    const FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.isOpen()) {
        return std::nullopt;
    }
    return lastLines(fd.get(), count);
}

std::optional<QList<QByteArray>> LogTail::lastLines(int fd, qsizetype count) const {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    LineCollector collector(*this, count);
    if (count <= 0) {
        return collector.oldestFirst();
    }
    const qsizetype block = std::max<qsizetype>(1, blockSize);
    QByteArray buffer;
    off_t end = info.st_size;
    while (end > 0 && !collector.isFull()) {
        const auto size = static_cast<qsizetype>(std::min<off_t>(block, end));
        const off_t start = end - size;
        buffer.resize(size);
        if (!readAt(fd, start, buffer)) {
            return std::nullopt;
        }
        qsizetype lineEnd = size;
        while (!collector.isFull()) {
            const void* found = ::memrchr(buffer.constData(), '\n', static_cast<size_t>(lineEnd));
            if (found == nullptr) {
                break;
            }
            const qsizetype newline = static_cast<const char*>(found) - buffer.constData();
            collector.prepend(QByteArrayView(buffer).sliced(newline + 1, lineEnd - newline - 1));
            collector.finishLine();
            lineEnd = newline;
        }
        collector.prepend(QByteArrayView(buffer).first(lineEnd));
        end = start;
    }
    if (end == 0 && !collector.isFull()) {
        collector.finishLine();
    }
    return collector.oldestFirst();
}

}  // namespace pellucine
