#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace pellucine {

// Whether an application is a password manager or authenticator whose windows are never
// photographed: matched by bundle identifier prefix, ignoring letter case. An identifier that
// is one of the names a Linux password manager goes by (its desktop-entry id, Flatpak id,
// window class or executable name) passes too.
bool isSensitiveApplication(const std::optional<QString>& bundleIdentifier, int osMajorVersion);

// The same, for an application that also goes by other names on this desktop (`aliases`: its
// Flatpak id, window class and instance, executable name): any one of them that names a
// password manager is enough, with or without a bundle identifier.
bool isSensitiveApplication(const std::optional<QString>& bundleIdentifier,
                            const QStringList& aliases, int osMajorVersion);

}  // namespace pellucine
