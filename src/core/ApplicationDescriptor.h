#pragma once

#include <QList>
#include <QUrl>

#include "core/WindowDescriptor.h"

namespace pellucine {

// One running application that has at least one listed window.
struct ApplicationDescriptor {
    qint32 processIdentifier = 0;
    std::optional<QString> bundleIdentifier;
    // "Application" when it has no name.
    QString name;
    std::optional<QUrl> bundleURL;
    bool isActive = false;
    bool isHidden = false;
    QList<WindowDescriptor> windows;

    // The bundle identifier, else "pid:" and the process identifier. Two running copies of one
    // application share it, so collections of running applications are keyed by pid instead.
    QString id() const;

    friend bool operator==(const ApplicationDescriptor&, const ApplicationDescriptor&) = default;
};

std::size_t qHash(const ApplicationDescriptor& application, std::size_t seed = 0);

}  // namespace pellucine
