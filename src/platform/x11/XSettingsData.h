#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace pellucine {

// The string settings of an XSETTINGS manager's _XSETTINGS_SETTINGS property, by name
// ("Net/ThemeName"); integer and colour settings are passed over. None when the data is cut
// short, names an unknown byte order or setting type, or counts more settings than it holds.
std::optional<QHash<QString, QString>> readXSettingsStrings(const QByteArray& data);

}  // namespace pellucine
