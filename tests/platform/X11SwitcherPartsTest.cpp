#include <gtest/gtest.h>

#include "design/Yard.h"
#include "platform/x11/X11FocusHistory.h"
#include "platform/x11/X11PointerEventSource.h"
#include "platform/x11/X11WindowIcon.h"
#include "platform/x11/shell/X11ShellRenderer.h"
#include "platform/x11/shell/X11StripWindow.h"
#include "platform/x11/shell/X11SwitcherCycle.h"
#include "platform/x11/shell/X11SwitcherLayout.h"

namespace pellucine {
namespace {

TEST(X11FocusHistoryTest, OrdersApplicationsByTheirMostRecentlyFocusedWindow) {
    X11FocusHistory history;
    // Stacking 10 (app 1), 20 (app 2), 30 (app 1), 40 (app 3); 40 is active.
    history.seed({10, 20, 30, 40}, 40);
    EXPECT_EQ(history.windows(), (QList<xcb_window_t>{40, 10, 20, 30}));
    const QList<X11FocusHistory::Application> apps{
        {1, {10, 30}}, {2, {20}}, {3, {40}}, {4, {50}}, {5, {}}};
    EXPECT_EQ(history.order(apps), (QList<qint32>{3, 1, 2, 4, 5}))
        << "never-seen applications follow in the given order";

    history.focused(30);
    history.focused(20);
    EXPECT_EQ(history.order(apps), (QList<qint32>{2, 1, 3, 4, 5}));
    history.focused(50);
    history.forget(20);
    EXPECT_EQ(history.order(apps), (QList<qint32>{4, 1, 3, 2, 5}));
    history.focused(XCB_NONE);
    EXPECT_EQ(history.windows().first(), 50u) << "focus on no window changes nothing";
}

TEST(X11FocusHistoryTest, MostRecentPrefersSeenWindowsThenTheFirstGiven) {
    X11FocusHistory history;
    history.seed({}, XCB_NONE);
    EXPECT_EQ(history.mostRecent({}), std::nullopt);
    EXPECT_EQ(history.mostRecent({7, 8}), 7u);
    history.focused(8);
    history.focused(9);
    EXPECT_EQ(history.mostRecent({7, 8}), 8u);
    EXPECT_EQ(history.mostRecent({7, 8, 9}), 9u);
}

TEST(X11SwitcherCycleTest, OpensOnTheSecondOrTheLastAndStepsAround) {
    EXPECT_EQ(X11SwitcherCycle::begin({}, false).selectedApplication(), std::nullopt);
    EXPECT_EQ(X11SwitcherCycle::begin({5}, false).selectedApplication(), 5);
    EXPECT_EQ(X11SwitcherCycle::begin({5}, true).selectedApplication(), 5);

    X11SwitcherCycle cycle = X11SwitcherCycle::begin({5, 6, 7}, false);
    EXPECT_EQ(cycle.selected, 1);
    cycle.step(false);
    EXPECT_EQ(cycle.selected, 2);
    cycle.step(false);
    EXPECT_EQ(cycle.selected, 0) << "forward from the last wraps to the first";
    cycle.step(true);
    EXPECT_EQ(cycle.selected, 2) << "backward from the first wraps to the last";
    EXPECT_EQ(X11SwitcherCycle::begin({5, 6, 7}, true).selected, 2);

    cycle.select(3);
    cycle.select(-1);
    EXPECT_EQ(cycle.selected, 2) << "positions outside the order are ignored";
    cycle.select(0);
    EXPECT_EQ(cycle.selectedApplication(), 5);

    X11SwitcherCycle empty;
    empty.step(false);
    EXPECT_EQ(empty.selected, -1);
}

TEST(X11SwitcherLayoutTest, CentresOneRowOnTheScreen) {
    const QRect screen(1280, 100, 1280, 800);
    const X11SwitcherLayout layout = X11SwitcherLayout::compute(3, screen, 1.0);
    // Cells of 64 + 2 x 12, 16 around, a 30-point name line and half the padding below it.
    EXPECT_EQ(layout.iconSize, 64);
    EXPECT_EQ(layout.strip.size(), QSize(3 * 88 + 32, 16 + 88 + 30 + 8));
    EXPECT_EQ(layout.strip.center().x(), screen.center().x());
    EXPECT_NEAR(layout.strip.center().y(), screen.center().y(), 1);
    ASSERT_EQ(layout.items.size(), 3);
    EXPECT_EQ(layout.items[0], QRect(16, 16, 88, 88));
    EXPECT_EQ(layout.items[2], QRect(16 + 2 * 88, 16, 88, 88));
    EXPECT_EQ(layout.iconRect(1), QRect(16 + 88 + 12, 28, 64, 64));
    EXPECT_EQ(layout.label, QRect(16, 104, 3 * 88, 30));
    EXPECT_EQ(layout.itemAt({16, 16}), 0);
    EXPECT_EQ(layout.itemAt({103, 50}), 0);
    EXPECT_EQ(layout.itemAt({104, 50}), 1);
    EXPECT_EQ(layout.itemAt({15, 50}), std::nullopt);
    EXPECT_EQ(layout.itemAt({50, 110}), std::nullopt) << "the name line is no item";
    EXPECT_EQ(layout.iconRect(3), QRect());

    const X11SwitcherLayout doubled = X11SwitcherLayout::compute(3, screen, 2.0);
    EXPECT_EQ(doubled.iconSize, 128);
    EXPECT_EQ(doubled.strip.width(), 2 * layout.strip.width());
}

TEST(X11SwitcherLayoutTest, ShrinksToStayInsideTheScreenAndRefusesNonsense) {
    const QRect screen(0, 0, 800, 600);
    const X11SwitcherLayout many = X11SwitcherLayout::compute(20, screen, 1.0);
    // 800 less two 40-point margins and two 16-point paddings leaves 688: 34 per cell.
    EXPECT_EQ(many.items.first().width(), 34);
    EXPECT_LE(many.strip.width(), 800 - 80);
    EXPECT_GE(many.strip.left(), 40);
    EXPECT_GT(many.iconSize, 0);
    EXPECT_LT(many.iconSize, 34);
    EXPECT_TRUE(many.items[19].contains(many.iconRect(19)));

    const X11SwitcherLayout crowded = X11SwitcherLayout::compute(2000, screen, 1.0);
    EXPECT_GE(crowded.iconSize, 1);
    EXPECT_EQ(crowded.items.size(), 2000);

    EXPECT_TRUE(X11SwitcherLayout::compute(0, screen, 1.0).items.isEmpty());
    EXPECT_TRUE(X11SwitcherLayout::compute(3, QRect(), 1.0).items.isEmpty());
    EXPECT_TRUE(X11SwitcherLayout::compute(3, screen, 0).items.isEmpty());
}

TEST(X11SwitcherLayoutTest, TheHighlightedIconsPlateLeavesSomeHighlightInItsCell) {
    const QRect screen(0, 0, 800, 600);
    for (const int count : {1, 3, 20, 2000}) {
        for (const double scale : {1.0, 1.5, 2.0}) {
            const X11SwitcherLayout layout = X11SwitcherLayout::compute(count, screen, scale);
            for (const int i : {0, count - 1}) {
                const QRectF cell = layout.items[i];
                const QRectF icon = layout.iconRect(i);
                const QRectF plate = Yard::iconPlate(icon, cell);
                SCOPED_TRACE(testing::Message() << count << " items at scale " << scale);
                EXPECT_TRUE(plate.contains(icon));
                EXPECT_TRUE(cell.contains(plate));
                if (icon != cell) {
                    EXPECT_NE(plate, cell) << "some highlight shows around the plate";
                }
            }
        }
    }
    const QRectF icon(10, 10, 60, 60);
    EXPECT_EQ(Yard::iconPlate(icon, QRectF(0, 0, 80, 80)), QRectF(5, 5, 70, 70));
    EXPECT_EQ(Yard::iconPlate(QRectF(70, 70, 60, 60), QRectF(0, 0, 200, 200)),
              QRectF(60, 60, 80, 80));
    EXPECT_TRUE(Yard::iconPlate(QRectF(), QRectF(0, 0, 80, 80)).isNull());
    EXPECT_TRUE(Yard::iconPlate(icon, QRectF(20, 20, 80, 80)).isNull())
        << "an icon outside its cell gets no plate";
}

TEST(X11ShellRendererTest, OnlyTheHighlightedIconSitsOnThePlate) {
    const X11SwitcherLayout layout = X11SwitcherLayout::compute(2, QRect(0, 0, 800, 600), 1.0);
    QImage clear(64, 64, QImage::Format_ARGB32_Premultiplied);
    clear.fill(Qt::transparent);
    const QImage strip = X11ShellRenderer::renderSwitcher(layout, {clear, clear}, 1, {}, 1.0);
    const Yard::Palette& palette = Yard::Palette::dark();
    EXPECT_EQ(strip.pixelColor(layout.iconRect(1).center()).rgb(), palette.ground.rgb());
    EXPECT_EQ(strip.pixelColor(layout.items[1].topLeft() + QPoint(1, 1)).rgb(),
              palette.railSelect.rgb())
        << "the highlight still shows around the plate";
}

// Icon data of one picture whose every pixel is `argb`.
QList<quint32> picture(quint32 width, quint32 height, quint32 argb) {
    QList<quint32> data{width, height};
    data.resize(2 + qsizetype(width) * height, argb);
    return data;
}

TEST(X11StripWindowTest, APaintCoversOnlyExposuresReportedBeforeItsFirstRequest) {
    EXPECT_TRUE(X11StripWindow::paintCovers(100, 99)) << "exposed by the map before the paint";
    EXPECT_FALSE(X11StripWindow::paintCovers(100, 100)) << "reported after the first band";
    EXPECT_FALSE(X11StripWindow::paintCovers(100, 250));
    EXPECT_FALSE(X11StripWindow::paintCovers(std::nullopt, 5)) << "nothing painted yet";
    // Across the wrap of the sequence numbers.
    EXPECT_TRUE(X11StripWindow::paintCovers(3, 0xFFFFFFF0u));
    EXPECT_FALSE(X11StripWindow::paintCovers(0xFFFFFFF0u, 3));
}

TEST(X11WindowIconTest, PicksTheSmallestLargeEnoughElseTheLargest) {
    const QList<quint32> sizes =
        picture(16, 16, 0xff0000ff) + picture(64, 64, 0xff00ff00) + picture(32, 32, 0x80ff0000);
    EXPECT_EQ(X11WindowIcon::choose(sizes, 24).size(), QSize(32, 32));
    EXPECT_EQ(X11WindowIcon::choose(sizes, 48).size(), QSize(64, 64));
    EXPECT_EQ(X11WindowIcon::choose(sizes, 128).size(), QSize(64, 64)) << "none is large enough";
    EXPECT_EQ(X11WindowIcon::choose(sizes, 16).size(), QSize(16, 16));
    const QImage half = X11WindowIcon::choose(sizes, 32);
    EXPECT_EQ(half.pixel(5, 7), 0x80ff0000u) << "pixels are ARGB, alpha kept";
    // Rows run left to right, top to bottom.
    QList<quint32> wide{3, 2, 1, 2, 3, 4, 5, 6};
    const QImage rows = X11WindowIcon::choose(wide, 3);
    EXPECT_EQ(rows.pixel(2, 0), 3u);
    EXPECT_EQ(rows.pixel(0, 1), 4u);
}

TEST(X11WindowIconTest, DamagedDataEndsTheListWithoutReadingPastIt) {
    const QList<quint32> whole = picture(8, 8, 0xffffffff);
    EXPECT_TRUE(X11WindowIcon::choose({}, 32).isNull());
    EXPECT_TRUE(X11WindowIcon::choose({16}, 32).isNull());
    EXPECT_TRUE(X11WindowIcon::choose({16, 16, 1, 2, 3}, 32).isNull()) << "shorter than it says";
    EXPECT_TRUE(X11WindowIcon::choose({0, 16}, 32).isNull());
    EXPECT_TRUE(X11WindowIcon::choose({0xffffffff, 0xffffffff, 1}, 32).isNull())
        << "a size that would overflow";
    EXPECT_TRUE(X11WindowIcon::choose(picture(1025, 1, 0), 32).isNull());
    // What came before the damage still counts.
    EXPECT_EQ(X11WindowIcon::choose(whole + QList<quint32>{64, 64, 7}, 32).size(), QSize(8, 8));
    EXPECT_EQ(X11WindowIcon::choose(whole + QList<quint32>{0, 0} + picture(32, 32, 0), 32).size(),
              QSize(8, 8));
}

TEST(X11PointerButtonsTest, WheelButtonsScrollAndOthersClick) {
    using Type = PointerEvent::Type;
    const auto type = [](quint32 button, bool pressed) {
        const auto event = X11PointerEventSource::buttonEvent(button, pressed);
        return event ? std::optional(event->type) : std::nullopt;
    };
    EXPECT_EQ(type(1, true), Type::leftDown);
    EXPECT_EQ(type(1, false), Type::leftUp);
    EXPECT_EQ(type(3, true), Type::rightDown);
    EXPECT_EQ(type(2, true), Type::otherDown);
    EXPECT_EQ(type(9, false), Type::otherUp);
    for (const quint32 wheel : {4u, 5u, 6u, 7u}) {
        EXPECT_EQ(type(wheel, false), std::nullopt) << wheel;
    }
    const auto scroll = [](quint32 button) {
        const PointerEvent e = *X11PointerEventSource::buttonEvent(button, true);
        return std::pair{e.scrollX, e.scrollY};
    };
    EXPECT_EQ(scroll(4), (std::pair{0.0, 1.0}));
    EXPECT_EQ(scroll(5), (std::pair{0.0, -1.0}));
    EXPECT_EQ(scroll(6), (std::pair{1.0, 0.0}));
    EXPECT_EQ(scroll(7), (std::pair{-1.0, 0.0}));
}

}  // namespace
}  // namespace pellucine
