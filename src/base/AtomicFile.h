#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <optional>

namespace pellucine {

// What an atomic write does when the path names a symbolic link.
enum class LinkAtPath {
    // The link itself is replaced by the new file; nothing is written through it.
    replace,
    // The file the link leads to is replaced (settings files kept elsewhere by the user).
    replaceTarget,
};

// Replaces the file at `path` with `content` in one step: a reader finds the old file or the
// new one, never a part of either. The content goes to a temporary file beside it, which is
// flushed to the disk and checked at every step before it is renamed over the old file; on any
// failure the old file stays and the temporary file is removed. The new file gets
// `permissions` when given, else those of the file it replaces. Returns the system's reason
// when the file could not be written; none when it was.
std::optional<QString> writeFileAtomically(
    const QString& path, const QByteArray& content,
    std::optional<QFileDevice::Permissions> permissions = std::nullopt,
    LinkAtPath link = LinkAtPath::replace);

// The same, with the failure as the system's error code (errno).
std::optional<int> replaceFileAtomically(
    const QString& path, const QByteArray& content,
    std::optional<QFileDevice::Permissions> permissions = std::nullopt,
    LinkAtPath link = LinkAtPath::replace);

// Removes the temporary files that atomic writes left in `folder` when their process was
// killed mid-write: those whose writing process no longer runs. Returns how many it removed.
int removeStaleTemporaryFiles(const QString& folder);

}  // namespace pellucine
