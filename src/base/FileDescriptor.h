#pragma once

#include <QByteArrayView>

namespace pellucine {

// An open file descriptor, closed when it goes.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }

    // Writes all of `data`; false with errno set when the system refused. A write that makes
    // no progress counts as a full disk (ENOSPC).
    bool writeAll(QByteArrayView data) const;
    // Closes now; the error code (errno) when closing reported a failure, else 0.
    int close();

  private:
    int fd_;
};

}  // namespace pellucine
