#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariant>
#include <optional>

namespace pellucine {

// The text of a settings file in QSettings' INI form, so that QSettings reads every value back
// as it reads the values it wrote itself: keys without a group under [General], a key's first
// group as its section, data as @ByteArray(…), other non-text values in QSettings' own
// notations. None when a value has no such form.
std::optional<QByteArray> encodeSettingsFile(const QMap<QString, QVariant>& values);

}  // namespace pellucine
