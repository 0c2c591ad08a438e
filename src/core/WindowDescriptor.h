#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstddef>
#include <functional>
#include <optional>

#include "base/Rect.h"

namespace pellucine {

// One window of another application, as the window enumeration lists it.
struct WindowDescriptor {
    // The system window number; a minimized window the window list does not report gets a
    // made-up number with bit 31 set.
    quint32 id = 0;
    qint32 ownerPID = 0;
    std::optional<QString> ownerBundleIdentifier;
    // The owner's other names (`RunningApplication::aliases`).
    QStringList ownerAliases;
    // "Application" when the owner has no name.
    QString applicationName;
    QString title;
    // The window's own position and size, not the window-list bounds.
    GlobalRect frame;
    bool isMinimized = false;
    bool isOnScreen = false;
    bool isFullScreen = false;
    std::optional<QDateTime> lastFocusedAt;

    // "Untitled window" for an exactly empty title, then " — " and the application name.
    QString displayLabel() const;

    static constexpr quint32 madeUpNumberBit = 0x80000000u;
    bool hasMadeUpNumber() const { return (id & madeUpNumberBit) != 0; }

    // Every field; frames compare as standardised rectangles.
    friend bool operator==(const WindowDescriptor&, const WindowDescriptor&) = default;
};

// Combines every field in declaration order; the frame is standardised and −0.0 hashes as 0.0.
std::size_t qHash(const WindowDescriptor& window, std::size_t seed = 0);

}  // namespace pellucine

template <>
struct std::hash<pellucine::WindowDescriptor> {
    std::size_t operator()(const pellucine::WindowDescriptor& w) const {
        return pellucine::qHash(w);
    }
};
