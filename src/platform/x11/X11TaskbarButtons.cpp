#include "platform/x11/X11TaskbarButtons.h"

#include <algorithm>
#include <tuple>

namespace pellucine {

X11TaskbarButtons X11TaskbarButtons::from(const QList<Client>& clients,
                                          const QList<Panel>& panels) {
    QList<Panel> holders;
    for (const Panel& panel : panels) {
        if (panel.isViewable && !panel.frame.isEmpty()) {
            holders.append(panel);
        }
    }
    // In an order of their places, not of their stacking, which changes as they are raised.
    std::sort(holders.begin(), holders.end(), [](const Panel& a, const Panel& b) {
        return std::tuple(a.frame.top(), a.frame.left(), a.window) <
               std::tuple(b.frame.top(), b.frame.left(), b.window);
    });
    const auto holderOf = [&holders](const std::optional<QRect>& button) -> qsizetype {
        if (!button || button->isEmpty()) {
            return -1;
        }
        const auto it = std::find_if(holders.begin(), holders.end(), [&](const Panel& panel) {
            return panel.frame.contains(button->center());
        });
        return it == holders.end() ? -1 : it - holders.begin();
    };

    QList<QRect> current;
    for (const Client& client : clients) {
        if (client.isOnCurrentDesktop && holderOf(client.button) >= 0) {
            current.append(*client.button);
        }
    }
    struct Held {
        Item item;
        qsizetype holder = 0;
    };
    QList<Held> held;
    for (const Client& client : clients) {
        const qsizetype holder = holderOf(client.button);
        if (holder < 0 || (!client.isOnCurrentDesktop &&
                           std::any_of(current.begin(), current.end(), [&](const QRect& shown) {
                               return shown.intersects(*client.button);
                           }))) {
            continue;
        }
        const Panel& panel = holders[holder];
        const QRect frame = *client.button & panel.frame;
        const auto same = std::find_if(held.begin(), held.end(), [&](const Held& h) {
            return h.item.pid == client.pid && h.item.frame == frame && h.holder == holder;
        });
        if (same != held.end()) {
            same->item.windows.append(client.window);
        } else {
            held.append({Item{client.pid, frame, panel.window, {client.window}}, holder});
        }
    }

    const auto along = [&holders](const Held& h) {
        const QRect& panel = holders[h.holder].frame;
        const QRect& frame = h.item.frame;
        return panel.width() >= panel.height() ? std::tuple(frame.left(), frame.top())
                                               : std::tuple(frame.top(), frame.left());
    };
    std::sort(held.begin(), held.end(), [&](const Held& a, const Held& b) {
        return std::tuple(a.holder, along(a), a.item.pid, a.item.windows.first()) <
               std::tuple(b.holder, along(b), b.item.pid, b.item.windows.first());
    });

    X11TaskbarButtons result;
    QList<int> counts(holders.size(), 0);
    qsizetype busiest = -1;
    for (const Held& h : std::as_const(held)) {
        result.items.append(h.item);
        ++counts[h.holder];
    }
    for (const Held& h : std::as_const(held)) {
        if (busiest < 0 || counts[h.holder] > counts[busiest]) {
            busiest = h.holder;
        }
    }
    if (busiest >= 0) {
        result.dock = holders[busiest];
    }
    return result;
}

}  // namespace pellucine
