#include "core/ApplicationDescriptor.h"

#include <QHashFunctions>

namespace pellucine {

QString ApplicationDescriptor::id() const {
    if (bundleIdentifier) {
        return *bundleIdentifier;
    }
    return QStringLiteral("pid:") + QString::number(processIdentifier);
}

std::size_t qHash(const ApplicationDescriptor& a, std::size_t seed) {
    QtPrivate::QHashCombine combine;
    std::size_t h = seed;
    h = combine(h, a.processIdentifier);
    h = combine(h, a.bundleIdentifier.has_value());
    h = combine(h, a.bundleIdentifier.value_or(QString()));
    h = combine(h, a.name);
    h = combine(h, a.bundleURL.has_value());
    h = combine(h, a.bundleURL ? a.bundleURL->toString() : QString());
    h = combine(h, a.isActive);
    h = combine(h, a.isHidden);
    for (const WindowDescriptor& w : a.windows) {
        h = qHash(w, h);
    }
    return h;
}

}  // namespace pellucine
