#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace pellucine {

// Regular applications own ordinary windows and take part in switching; accessory ones
// (agents, utilities) may show windows but are not switched to; prohibited ones show none.
enum class ActivationPolicy { regular, accessory, prohibited };

// One running application as the workspace reports it, at the moment of the report.
struct RunningApplication {
    qint32 processIdentifier = 0;
    std::optional<QString> bundleIdentifier;
    // Other names the application goes by where identifiers are not one per application (an
    // X11 desktop: its Flatpak id, window class and instance, executable name).
    QStringList aliases;
    std::optional<QString> localizedName;
    std::optional<QUrl> bundleURL;
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    bool isActive = false;
    bool isHidden = false;
    bool isTerminated = false;

    friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};

}  // namespace pellucine
