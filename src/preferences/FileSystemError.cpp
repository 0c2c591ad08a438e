#include "preferences/FileSystemError.h"

#include <QFileInfo>
#include <cstring>

namespace pellucine {

FileSystemError::FileSystemError(const QString& path, const QString& reason)
    : Error(QStringLiteral("The file “%1” couldn’t be read: %2.")
                .arg(QFileInfo(path).fileName(), reason)),
      path_(path),
      reason_(reason) {}

FileSystemError FileSystemError::fromErrno(const QString& path, int code) {
    return FileSystemError(path, QString::fromLocal8Bit(std::strerror(code)));
}

}  // namespace pellucine
