#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <optional>

namespace pellucine {

// Replaces the file at `path` with `content` in one step: readers see the old file or the new
// one, never a part. The folder must exist. `permissions`, when given, are those of the new
// file. Returns the system's reason when nothing was replaced.
std::optional<QString> writeFileAtomically(
    const QString& path, const QByteArray& content,
    std::optional<QFileDevice::Permissions> permissions = std::nullopt);

}  // namespace pellucine
