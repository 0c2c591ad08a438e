#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

#include "base/Rect.h"
#include "platform/RunningApplication.h"

namespace pellucine {

// What the program's own shell shows other clients through the element API: while the
// application switcher strip is up, the strip and one item per application, the highlighted
// one selected. Frames are in the global space.
struct X11ShellContent {
    // The shell is no process of its own. The number lies beyond the largest process
    // identifier the kernel hands out (2^22), so it never names a real local process.
    static constexpr qint32 processIdentifier = 1 << 22;

    struct Item {
        QString title;
        GlobalRect frame;
        // The application's desktop entry, when it has one.
        std::optional<QUrl> url;
    };

    QString bundleIdentifier;
    // Counts the strip's showings and hidings: elements of another one are gone.
    quint64 showing = 0;
    // None while the strip is down.
    std::optional<GlobalRect> strip;
    QList<Item> items;
    int selected = -1;

    // The shell as a running application: an accessory one, never switched to.
    RunningApplication application() const;
};

}  // namespace pellucine
