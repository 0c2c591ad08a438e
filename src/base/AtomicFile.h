#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <optional>

namespace pellucine {

// Replaces the file at `path` with `content` in one step: a reader finds the old file or the
// new one, never a part of either. The new file gets `permissions` when given. Returns the
// system's reason when the file could not be written; none when it was.
std::optional<QString> writeFileAtomically(
    const QString& path, const QByteArray& content,
    std::optional<QFileDevice::Permissions> permissions = std::nullopt);

}  // namespace pellucine
