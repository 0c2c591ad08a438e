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
// one selected; while the Dock bar is up, the bar and one item per running application.
// Frames are in the global space.
struct X11ShellContent {
    // The shell is no process of its own. The number lies beyond the largest process
    // identifier the kernel hands out (2^22), so it never names a real local process.
    static constexpr qint32 processIdentifier = 1 << 22;
    static constexpr QLatin1String identifier{"com.orrinvale.pellucine.shell"};

    struct Item {
        QString title;
        GlobalRect frame;
        // The application's desktop entry, when it has one.
        std::optional<QUrl> url;
        // The process the item stands for.
        qint32 processIdentifier = 0;

        friend bool operator==(const Item&, const Item&) = default;
    };

    // One row of items the shell shows.
    struct List {
        // Counts the list's showings, hidings and changes of its items: elements of another
        // one are gone.
        quint64 showing = 0;
        // None while the list is down.
        std::optional<GlobalRect> frame;
        QList<Item> items;
        // -1 when no item is highlighted.
        int selected = -1;

        // Shows the items (a new showing) in `frame`.
        void show(const GlobalRect& listFrame, QList<Item> listItems);
        void hide();
    };

    QString bundleIdentifier{identifier};
    List strip;
    List dock;

    // The shell as a running application: an accessory one, never switched to.
    RunningApplication application() const;
};

}  // namespace pellucine
