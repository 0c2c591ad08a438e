#include "core/WindowDescriptor.h"

#include <QHashFunctions>

namespace pellucine {

QString WindowDescriptor::displayLabel() const {
    const QString shown = title.isEmpty() ? QStringLiteral("Untitled window") : title;
    return shown + QStringLiteral(" \u2014 ") + applicationName;
}

namespace {

// Adding +0.0 turns −0.0 into 0.0 and leaves every other value alone.
std::size_t hashCoordinate(double value, std::size_t seed) {
    return ::qHash(value + 0.0, seed);
}

}  // namespace

std::size_t qHash(const WindowDescriptor& w, std::size_t seed) {
    QtPrivate::QHashCombine combine;
    std::size_t h = seed;
    h = combine(h, w.id);
    h = combine(h, w.ownerPID);
    h = combine(h, w.ownerBundleIdentifier.has_value());
    h = combine(h, w.ownerBundleIdentifier.value_or(QString()));
    h = combine(h, w.ownerAliases);
    h = combine(h, w.applicationName);
    h = combine(h, w.title);
    const GlobalRect frame = w.frame.standardized();
    h = hashCoordinate(frame.x, h);
    h = hashCoordinate(frame.y, h);
    h = hashCoordinate(frame.width, h);
    h = hashCoordinate(frame.height, h);
    h = combine(h, w.isMinimized);
    h = combine(h, w.isOnScreen);
    h = combine(h, w.isFullScreen);
    h = combine(h, w.lastFocusedAt.has_value());
    h = combine(h, w.lastFocusedAt ? w.lastFocusedAt->toMSecsSinceEpoch() : 0);
    return h;
}

}  // namespace pellucine
