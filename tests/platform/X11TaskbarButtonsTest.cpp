#include <gtest/gtest.h>

#include <ostream>

#include "platform/x11/X11TaskbarButtons.h"
#include "support/QtPrinters.h"

namespace pellucine {

void PrintTo(const X11TaskbarButtons::Item& item, std::ostream* out) {
    const QRect& f = item.frame;
    *out << "{pid " << item.pid << " at " << f.x() << "," << f.y() << " " << f.width() << "x"
         << f.height() << " on " << item.panel << ", " << item.windows.size() << " windows}";
}

namespace {

using Client = X11TaskbarButtons::Client;
using Item = X11TaskbarButtons::Item;
using Panel = X11TaskbarButtons::Panel;

// Root pixels of a 1280 x 800 monitor and a 1920 x 900 one to its right.
constexpr xcb_window_t bottomPanel = 900;
constexpr xcb_window_t topPanel = 901;
constexpr xcb_window_t sidePanel = 902;
constexpr xcb_window_t secondPanel = 903;
const Panel bottom{bottomPanel, QRect(0, 770, 1280, 30), true};
const Panel top{topPanel, QRect(0, 0, 1280, 26), true};
const Panel side{sidePanel, QRect(0, 0, 40, 800), true};
const Panel second{secondPanel, QRect(1280, 870, 1920, 30), true};

Client on(xcb_window_t window, qint32 pid, std::optional<QRect> button, bool current = true) {
    return Client{window, pid, button, current};
}

struct Row {
    const char* name;
    QList<Client> clients;
    QList<Panel> panels;
    QList<Item> items;
    std::optional<QRect> dock;
};

TEST(X11TaskbarButtonsTest, ItemsComeFromButtonsHeldByAViewablePanel) {
    const QRect first(104, 770, 150, 30);
    const QRect next(256, 770, 150, 30);
    const QRect grouped(104, 0, 200, 26);
    const Row rows[] = {
        {"a button per window, listed in any order, goes left to right",
         {on(3, 20, QRect(408, 770, 150, 30)), on(2, 10, next), on(1, 10, first)},
         {bottom},
         {Item{10, first, bottomPanel, {1}}, Item{10, next, bottomPanel, {2}},
          Item{20, QRect(408, 770, 150, 30), bottomPanel, {3}}},
         bottom.frame},
        {"a grouped button is one item for its application",
         {on(1, 10, grouped), on(2, 10, grouped), on(3, 20, QRect(306, 0, 200, 26))},
         {top},
         {Item{10, grouped, topPanel, {1, 2}}, Item{20, QRect(306, 0, 200, 26), topPanel, {3}}},
         top.frame},
        {"windows without the property have no item",
         {on(1, 10, std::nullopt), on(2, 20, first)},
         {bottom},
         {Item{20, first, bottomPanel, {2}}},
         bottom.frame},
        {"stale rectangles with no panel left", {on(1, 10, first), on(2, 10, next)}, {}, {}, {}},
        {"the panel unmapped",
         {on(1, 10, first)},
         {Panel{bottomPanel, bottom.frame, false}},
         {},
         {}},
        {"the panel moved to the top away from its buttons",
         {on(1, 10, first), on(2, 10, next)},
         {Panel{bottomPanel, QRect(0, 0, 1280, 30), true}},
         {},
         {}},
        {"a button whose centre is off every panel",
         {on(1, 10, QRect(104, 700, 150, 60))},
         {bottom},
         {},
         {}},
        {"a button reaching beyond its panel counts for the part inside",
         {on(1, 10, QRect(100, 760, 150, 60))},
         {bottom},
         {Item{10, QRect(100, 770, 150, 30), bottomPanel, {1}}},
         bottom.frame},
        {"empty and inverted rectangles count for nothing",
         {on(1, 10, QRect(104, 770, 0, 30)), on(2, 10, QRect(104, 770, 150, 0)),
          on(3, 10, QRect(254, 800, -150, -30)), on(4, 10, QRect())},
         {bottom},
         {},
         {}},
        {"two monitors' panels: by panel top to bottom, the dock the one with most items",
         {on(1, 10, first), on(2, 20, QRect(1400, 870, 150, 30)),
          on(3, 30, QRect(1552, 870, 150, 30))},
         {second, bottom},
         {Item{10, first, bottomPanel, {1}}, Item{20, QRect(1400, 870, 150, 30), secondPanel, {2}},
          Item{30, QRect(1552, 870, 150, 30), secondPanel, {3}}},
         second.frame},
        {"two panels with as many items: the first in order is the dock",
         {on(2, 20, QRect(1400, 870, 150, 30)), on(1, 10, first)},
         {second, bottom},
         {Item{10, first, bottomPanel, {1}}, Item{20, QRect(1400, 870, 150, 30), secondPanel, {2}}},
         bottom.frame},
        {"a panel down the side lists top to bottom",
         {on(1, 10, QRect(0, 300, 40, 40)), on(2, 20, QRect(0, 100, 40, 40))},
         {side},
         {Item{20, QRect(0, 100, 40, 40), sidePanel, {2}},
          Item{10, QRect(0, 300, 40, 40), sidePanel, {1}}},
         side.frame},
        {"a window of another desktop under a current button is left out, elsewhere kept",
         {on(1, 10, first), on(2, 20, QRect(110, 770, 150, 30), false), on(3, 30, next, false)},
         {bottom},
         {Item{10, first, bottomPanel, {1}}, Item{30, next, bottomPanel, {3}}},
         bottom.frame},
        {"two applications behind one rectangle make an item each",
         {on(2, 20, grouped), on(1, 10, grouped)},
         {top},
         {Item{10, grouped, topPanel, {1}}, Item{20, grouped, topPanel, {2}}},
         top.frame},
    };
    for (const Row& row : rows) {
        const X11TaskbarButtons buttons = X11TaskbarButtons::from(row.clients, row.panels);
        EXPECT_EQ(buttons.items, row.items) << row.name;
        EXPECT_EQ(buttons.dockFrame(), row.dock) << row.name;
        EXPECT_EQ(buttons.isEmpty(), row.items.isEmpty()) << row.name;
    }
}

}  // namespace
}  // namespace pellucine
