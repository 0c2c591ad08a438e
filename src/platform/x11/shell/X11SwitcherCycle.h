#pragma once

#include <QList>
#include <optional>

namespace pellucine {

// The applications the strip shows, in order, and the highlighted one.
struct X11SwitcherCycle {
    QList<qint32> order;
    // -1 while the order is empty.
    int selected = -1;

    // A strip opens on the second application, or on the last going backward; one application
    // alone is highlighted itself.
    static X11SwitcherCycle begin(QList<qint32> order, bool backward);
    // One step with wrap-around.
    void step(bool backward);
    // Highlights a position of the order; others are ignored.
    void select(int index);
    std::optional<qint32> selectedApplication() const;
};

}  // namespace pellucine
