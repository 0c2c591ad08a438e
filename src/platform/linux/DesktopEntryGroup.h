#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

namespace pellucine {

// The group `groupName` of an ini-style file (UTF-8 Key=Value lines under "[Group]" heads): the
// first value of each key, trimmed and still escaped; comments and other groups are passed over.
// None when the text has no such group.
std::optional<QMap<QString, QString>> readIniGroup(const QByteArray& text,
                                                   const QString& groupName);

// The "[Desktop Entry]" group of a desktop entry file (UTF-8 Key=Value lines): the first value
// of each key, trimmed and still escaped; comments and other groups are passed over. None when
// the text has no such group.
std::optional<QMap<QString, QString>> readDesktopEntryGroup(const QByteArray& text);

}  // namespace pellucine
