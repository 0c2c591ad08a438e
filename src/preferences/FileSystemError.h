#pragma once

#include "base/Error.h"

namespace pellucine {

// A file that could not be examined or read, with the system's reason.
class FileSystemError final : public Error {
  public:
    // `reason` is the system's text ("No such file or directory").
    FileSystemError(const QString& path, const QString& reason);
    // From an errno value.
    static FileSystemError fromErrno(const QString& path, int code);

    const QString& path() const { return path_; }
    const QString& reason() const { return reason_; }
    QString typeName() const override { return QStringLiteral("pellucine.FileSystemError"); }

  private:
    QString path_;
    QString reason_;
};

}  // namespace pellucine
