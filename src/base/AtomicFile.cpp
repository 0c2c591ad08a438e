#include "base/AtomicFile.h"

#include <QSaveFile>

namespace pellucine {

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& content,
                                           std::optional<QFileDevice::Permissions> permissions) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (permissions) {
        file.setPermissions(*permissions);
    }
    if (file.write(content) != content.size() || !file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

}  // namespace pellucine
