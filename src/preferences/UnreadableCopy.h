#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace pellucine {

// Where stored bytes that could not be read were kept before defaults replaced them.
struct UnreadableCopy {
    // "kept", "already-kept" (an earlier copy holds the same bytes), "empty" (nothing to keep)
    // or "not-kept".
    QString result;
    // The copy's path for "kept" and "already-kept".
    QString path;

    bool isSafe() const { return result != QLatin1String("not-kept"); }

    friend bool operator==(const UnreadableCopy&, const UnreadableCopy&) = default;

    // Copies `bytes` to "<folder>/unreadable-<name>-<yyyyMMdd'T'HHmmss'Z'>[-n].<extension>",
    // owner-only, once per distinct content and never over an earlier copy.
    static UnreadableCopy keep(const QString& folder, const QString& name, const QString& extension,
                               const QByteArray& bytes, const QDateTime& now);
};

}  // namespace pellucine
