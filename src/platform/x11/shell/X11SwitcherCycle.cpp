#include "platform/x11/shell/X11SwitcherCycle.h"

namespace pellucine {

X11SwitcherCycle X11SwitcherCycle::begin(QList<qint32> order, bool backward) {
    X11SwitcherCycle cycle{std::move(order)};
    const int count = static_cast<int>(cycle.order.size());
    if (count == 1) {
        cycle.selected = 0;
    } else if (count > 1) {
        cycle.selected = backward ? count - 1 : 1;
    }
    return cycle;
}

void X11SwitcherCycle::step(bool backward) {
    const int count = static_cast<int>(order.size());
    if (count == 0) {
        return;
    }
    selected = ((selected + (backward ? -1 : 1)) % count + count) % count;
}

void X11SwitcherCycle::select(int index) {
    if (index >= 0 && index < order.size()) {
        selected = index;
    }
}

std::optional<qint32> X11SwitcherCycle::selectedApplication() const {
    if (selected < 0 || selected >= order.size()) {
        return std::nullopt;
    }
    return order[selected];
}

}  // namespace pellucine
