#pragma once

#include <QByteArray>
#include <QString>

namespace pellucine {

// An export waiting for its place: the bytes of the settings file.
struct SettingsDocument {
    QByteArray data;

    // Replaces the file at `path` with the bytes in one step; throws SettingsFileError.
    void write(const QString& path) const;

    friend bool operator==(const SettingsDocument&, const SettingsDocument&) = default;
};

}  // namespace pellucine
