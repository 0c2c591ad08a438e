#include "settings/DockWording.h"

namespace pellucine {

QString DockWording::needs() {
    return QStringLiteral(
        "Dock previews need a taskbar that shows application buttons, or the Dock bar, which "
        "appears when no panel holds the bottom edge.");
}

DockWording DockWording::of(SystemDock::Kind kind) {
    const auto named = [](const QString& place, const QString& appNoun, const QString& owned) {
        return DockWording{place, appNoun, owned + QStringLiteral(" does more now."),
                           QStringLiteral("Previews appear over ") + place + u'.', true};
    };
    switch (kind) {
        case SystemDock::Kind::systemDock:
            return named(QStringLiteral("the Dock"), QStringLiteral("Dock"),
                         QStringLiteral("Your Dock"));
        case SystemDock::Kind::taskbar:
            return named(QStringLiteral("your taskbar"), QStringLiteral("taskbar"),
                         QStringLiteral("Your taskbar"));
        case SystemDock::Kind::dockBar:
            return named(QStringLiteral("the Dock bar"), QStringLiteral("Dock bar"),
                         QStringLiteral("The Dock bar"));
        case SystemDock::Kind::none:
            break;
    }
    return {QStringLiteral("the Dock"), QStringLiteral("Dock"),
            QStringLiteral("No taskbar shows your apps."), needs(), false};
}

}  // namespace pellucine
