#include <gmock/gmock.h>

#include <QContextMenuEvent>
#include <QTest>

#include "GlanceFixture.h"
#include "design/Yard.h"
#include "panels/CompactRow.h"
#include "panels/FloatingPanel.h"
#include "panels/FullSizePeekPanelController.h"
#include "panels/FullSizePeekView.h"
#include "panels/GlanceContentView.h"
#include "panels/GlanceHeader.h"
#include "panels/GlanceMenu.h"
#include "panels/GlanceStyle.h"
#include "panels/PreviewTile.h"
#include "panels/ShapedEdge.h"
#include "panels/SwitcherPanelController.h"

namespace pellucine {
namespace {

const ScreenRect laptop{0, 0, 1440, 875};

class SwitcherPanelControllerTest : public testing::GlanceFixture {
  protected:
    SwitcherPanelControllerTest() {
        model->portablePreferences().modify([](PortablePreferences& p) {
            p.previewWidth = 260;
            p.enableFullSizeHoverPeek = true;
        });
        controller =
            std::make_unique<SwitcherPanelController>(*model, environment, callbacks().panel);
    }
    ~SwitcherPanelControllerTest() override { controller.reset(); }

    SwitcherPanelShowOptions commandTab() {
        SwitcherPanelShowOptions options;
        options.screenFrame = laptop;
        options.switcherFrame = ScreenRect{300, 400, 840, 120};
        options.showsSearchHint = true;
        return options;
    }
    static SwitcherPanelShowOptions dockHover() {
        SwitcherPanelShowOptions options;
        options.anchor = ScreenPoint{700, 30};
        options.dockMode = true;
        options.showsWindowControls = true;
        return options;
    }
    static GlanceMenu* openMenu(WindowItem* item) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), QPoint(10, 10));
        QCoreApplication::sendEvent(item, &event);
        const auto menus = item->findChildren<GlanceMenu*>(Qt::FindDirectChildrenOnly);
        return menus.isEmpty() ? nullptr : menus.back();
    }
    QList<QRect> itemFrames() const {
        QList<QRect> frames;
        for (const WindowItem* item : controller->content()->items()) {
            frames.append(QRect(item->mapTo(&controller->panel(), QPoint(0, 0)), item->size()));
        }
        return frames;
    }
    void hover(const std::optional<WindowDescriptor>& window) { controller->showPeek(window); }
    int peeksRecorded() const { return events.count(QStringLiteral("full-size-peek-shown")); }

    std::unique_ptr<SwitcherPanelController> controller;
};

TEST_F(SwitcherPanelControllerTest, CommandTabGlanceIsSizedAndPlacedAboveTheStrip) {
    EXPECT_FALSE(controller->isPanelVisible());
    EXPECT_EQ(controller->panelFrame(), (ScreenRect{0, 0, 900, 245}));
    selectWindows({window(1), window(2), window(3), window(4)});
    controller->show(commandTab());
    EXPECT_TRUE(controller->isPanelVisible());
    EXPECT_DOUBLE_EQ(controller->geometry().panelSize.width, 1112);
    EXPECT_DOUBLE_EQ(controller->geometry().panelSize.height, 282.5);
    // Centred on the screen, 10 above the strip's top; the height rounded up.
    EXPECT_EQ(controller->panelFrame(), (ScreenRect{164, 530, 1112, 283}));
    const GlanceContentView* content = controller->content();
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->options().layout.columns, 4);
    EXPECT_NE(content->searchHint(), nullptr);
    EXPECT_EQ(content->items().size(), 4);

    controller->hide();
    EXPECT_FALSE(controller->isPanelVisible());
    // Hiding twice, or before showing, is harmless.
    controller->hide();
}

TEST_F(SwitcherPanelControllerTest, DockGlanceOfManyWindowsIsACompactListBesideTheAnchor) {
    QList<WindowDescriptor> nine;
    for (quint32 id = 1; id <= 9; ++id) {
        nine.append(window(id));
    }
    selectWindows(nine);
    SwitcherPanelShowOptions options;
    options.anchor = ScreenPoint{700, 30};
    options.dockMode = true;
    options.showsWindowControls = true;
    controller->show(options);
    // The anchor's screen is the simulated laptop's: visible 1440 × 875 above a 25-high Dock.
    EXPECT_TRUE(controller->geometry().usesCompactList);
    EXPECT_EQ(controller->panelFrame().size(), (Size{460, 586}));
    EXPECT_DOUBLE_EQ(controller->panelFrame().y, 30 + 54);
    ASSERT_EQ(controller->content()->items().size(), 9);
    EXPECT_NE(qobject_cast<CompactRow*>(controller->content()->items()[0]), nullptr);
    EXPECT_EQ(controller->content()->items()[0]->controls().size(), 3);

    // Outside Dock mode the same windows are a grid.
    controller->show(commandTab());
    EXPECT_FALSE(controller->content()->options().usesCompactList);
}

TEST_F(SwitcherPanelControllerTest, ThePeekFollowsTheHoverAfterItsDelay) {
    const WindowDescriptor first = window(1);
    const WindowDescriptor second = window(2);
    selectWindows({first, second});
    publish(1, picture(600, 400));
    publish(2, picture(800, 500));
    controller->show(commandTab());

    hover(first);
    scheduler.advance(0.449);
    EXPECT_FALSE(controller->peekPanel().isVisible());
    // A second hover starts the delay again; only it can peek.
    hover(second);
    scheduler.advance(0.3);
    EXPECT_FALSE(controller->peekPanel().isVisible());
    scheduler.advance(0.15);
    ASSERT_TRUE(controller->peekPanel().isVisible());
    ASSERT_NE(controller->peekPanel().view(), nullptr);
    EXPECT_EQ(controller->peekPanel().view()->window().id, 2u);
    // The picture's own size, near the top of the panel's screen.
    EXPECT_EQ(controller->peekPanel().frame(), (ScreenRect{308, 875 - 558 - 28, 824, 558}));
    ASSERT_EQ(peeksRecorded(), 1);
    EXPECT_EQ(events.last(QStringLiteral("full-size-peek-shown"))->fields.value("windowID"), "2");

    // Leaving takes it down at once.
    hover(std::nullopt);
    EXPECT_FALSE(controller->peekPanel().isVisible());
    EXPECT_EQ(controller->peekPanel().view(), nullptr);

    // Leaving within the delay: nothing.
    hover(first);
    scheduler.advance(0.2);
    hover(std::nullopt);
    scheduler.advance(1);
    EXPECT_FALSE(controller->peekPanel().isVisible());
    EXPECT_EQ(peeksRecorded(), 1);
}

TEST_F(SwitcherPanelControllerTest, ThePeekOverATallDockGlanceLeavesItsHeaderClear) {
    QList<WindowDescriptor> nine;
    for (quint32 id = 1; id <= 9; ++id) {
        nine.append(window(id));
    }
    selectWindows(nine);
    publish(3, picture(1600, 1000));
    controller->show(dockHover());
    const ScreenRect glance = controller->panelFrame();
    const GlanceHeader* header = controller->content()->header();
    ASSERT_NE(header, nullptr);
    const double headerBottom =
        glance.maxY() - header->mapTo(&controller->panel(), QPoint(0, header->height())).y();

    hover(window(3));
    scheduler.advance(0.45);
    ASSERT_TRUE(controller->peekPanel().isVisible());
    // Too little room above the glance for a usable picture: over the tiles, not a sliver.
    const ScreenRect peek = controller->peekPanel().frame();
    EXPECT_LE(peek.maxY(), headerBottom);
    EXPECT_GE(peek.height, FullSizePeekLayout::usablePictureHeight + 58);
}

TEST_F(SwitcherPanelControllerTest, ADockGlancesPeekIsNeverSmallerThanItsTile) {
    model->portablePreferences().modify([](PortablePreferences& p) { p.previewWidth = 540; });
    WindowDescriptor small = window(1);
    small.frame = {0, 0, 640, 480};
    selectWindows({small});
    publish(1, picture(640, 480));
    controller->show(dockHover());
    // 540 asked for, narrower than the window: the card is 540.
    const auto* tile = qobject_cast<PreviewTile*>(controller->content()->items().value(0));
    ASSERT_NE(tile, nullptr);
    EXPECT_DOUBLE_EQ(tile->cardRect().width(), 540);
    const QSizeF onTile = GlanceStyle::shrunkToFit({640, 480}, tile->cardRect()).size();

    hover(small);
    scheduler.advance(0.45);
    ASSERT_TRUE(controller->peekPanel().isVisible());
    const QSizeF peeked = controller->peekPanel().view()->pictureRect().size();
    EXPECT_GE(peeked.width(), onTile.width());
    EXPECT_GE(peeked.height(), onTile.height());

    // A window narrower than the preview width gets a card of its own width.
    controller->hide();
    small.frame = {0, 0, 320, 240};
    selectWindows({small});
    controller->show(dockHover());
    EXPECT_DOUBLE_EQ(controller->geometry().layout.cardWidth, 320);
}

TEST_F(SwitcherPanelControllerTest, NoPeekWhenSwitchedOffOrHiddenWhileWaiting) {
    selectWindows({window(1)});
    publish(1, picture());
    controller->show(commandTab());
    hover(window(1));
    scheduler.advance(0.5);
    ASSERT_TRUE(controller->peekPanel().isVisible());

    model->portablePreferences().modify(
        [](PortablePreferences& p) { p.enableFullSizeHoverPeek = false; });
    hover(window(1));
    EXPECT_FALSE(controller->peekPanel().isVisible());
    EXPECT_FALSE(controller->isPeekPending());
    scheduler.advance(1);
    EXPECT_FALSE(controller->peekPanel().isVisible());

    model->portablePreferences().modify(
        [](PortablePreferences& p) { p.enableFullSizeHoverPeek = true; });
    hover(window(1));
    controller->hide();
    scheduler.advance(1);
    EXPECT_FALSE(controller->peekPanel().isVisible());
    EXPECT_EQ(peeksRecorded(), 1);
}

TEST_F(SwitcherPanelControllerTest, ThePeekNeverShowsAPrivateWindowOrAnotherWindowsPicture) {
    WindowDescriptor vault = window(2, QStringLiteral("Logins"));
    vault.ownerBundleIdentifier = QStringLiteral("com.1password.vault");
    selectWindows({window(1), vault, window(3)});
    publish(1, picture());
    publish(2, picture());
    controller->show(commandTab());

    hover(window(1));
    scheduler.advance(0.5);
    ASSERT_TRUE(controller->peekPanel().isVisible());
    // A password manager's held picture is not peeked, and the earlier peek goes.
    hover(vault);
    scheduler.advance(0.5);
    EXPECT_FALSE(controller->peekPanel().isVisible());
    EXPECT_EQ(peeksRecorded(), 1);

    // A window without a picture takes the earlier peek down instead of leaving it up.
    hover(window(1));
    scheduler.advance(0.5);
    ASSERT_TRUE(controller->peekPanel().isVisible());
    hover(window(3));
    scheduler.advance(0.5);
    EXPECT_FALSE(controller->peekPanel().isVisible());
    EXPECT_EQ(peeksRecorded(), 2);

    // With the switch off the same picture may be peeked.
    setPrivate(false);
    hover(vault);
    scheduler.advance(0.5);
    EXPECT_TRUE(controller->peekPanel().isVisible());
}

TEST_F(SwitcherPanelControllerTest, ARefreshKeepsThePeekOfAWindowStillListed) {
    selectWindows({window(1), window(2)});
    publish(1, picture());
    publish(2, picture());
    controller->show(commandTab());
    hover(window(1));
    scheduler.advance(0.5);
    ASSERT_TRUE(controller->peekPanel().isVisible());
    controller->show(commandTab());
    EXPECT_TRUE(controller->peekPanel().isVisible());

    // A waiting peek survives the refresh and keeps its delay, also when the rebuilt tile
    // reports the pointer again.
    hover(window(2));
    scheduler.advance(0.3);
    controller->show(commandTab());
    EXPECT_TRUE(controller->isPeekPending());
    hover(window(2));
    scheduler.advance(0.2);
    ASSERT_TRUE(controller->peekPanel().isVisible());
    EXPECT_EQ(controller->peekPanel().view()->window().id, 2u);
    EXPECT_EQ(peeksRecorded(), 2);
}

TEST_F(SwitcherPanelControllerTest, AShowingWithoutThePeekedWindowTakesThePeekDown) {
    selectWindows({window(1), window(2)});
    publish(1, picture());
    publish(2, picture());
    controller->show(commandTab());
    hover(window(1));
    scheduler.advance(0.5);
    ASSERT_TRUE(controller->peekPanel().isVisible());
    selectWindows({window(2)});
    controller->show(commandTab());
    EXPECT_FALSE(controller->peekPanel().isVisible());

    // A waiting peek of a window the next showing does not list never comes.
    hover(window(2));
    selectWindows({window(3)});
    controller->show(commandTab());
    EXPECT_FALSE(controller->isPeekPending());
    scheduler.advance(1);
    EXPECT_FALSE(controller->peekPanel().isVisible());
    EXPECT_EQ(peeksRecorded(), 1);
}

TEST_F(SwitcherPanelControllerTest, AClickMayShowThePanelAgainFromInsideTheTile) {
    selectWindows({window(1), window(2)});
    QList<WindowDescriptor> next{window(3)};
    SwitcherPanelCallbacks reentrant;
    reentrant.onSelect = [this, &next](const WindowDescriptor& w) {
        selected.append(w.id);
        selectWindows(next);
        controller->show(commandTab());
    };
    controller = std::make_unique<SwitcherPanelController>(*model, environment, reentrant);
    controller->show(commandTab());
    QPointer<GlanceContentView> first = controller->content();
    QTest::mouseClick(first->items()[0], Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(selected, QList<quint32>{1});
    EXPECT_NE(controller->content(), first);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    EXPECT_EQ(controller->content()->items().size(), 1);

    // A refresh from inside the tile keeps the content; the tile clicked goes after its click.
    next = {window(4)};
    selectWindows({window(3), window(4)});
    controller->show(commandTab());
    QPointer<GlanceContentView> content = controller->content();
    QPointer<WindowItem> tile = content->items()[0];
    QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(selected, (QList<quint32>{1, 3}));
    ASSERT_EQ(controller->content(), content);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(tile);
    ASSERT_EQ(content->items().size(), 1);
    EXPECT_EQ(content->items()[0]->state().window.id, 4u);
}

TEST_F(SwitcherPanelControllerTest, AnOpenMenuCountsAndHidingClosesIt) {
    selectWindows({window(1)});
    controller->show(commandTab());
    EXPECT_FALSE(controller->isMenuOpen());
    WindowItem* tile = controller->content()->items()[0];
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), QPoint(10, 10));
    QCoreApplication::sendEvent(tile, &event);
    EXPECT_TRUE(controller->isMenuOpen());
    controller->hide();
    EXPECT_FALSE(controller->isMenuOpen());
}

TEST_F(SwitcherPanelControllerTest, ARefreshKeepsAnOpenTileMenuOnItsWindow) {
    selectWindows({window(1), window(2), window(3)});
    controller->show(dockHover());
    QPointer<WindowItem> tile = controller->content()->items()[1];
    QPointer<GlanceMenu> menu = openMenu(tile);
    ASSERT_TRUE(menu);

    // The window is minimized and moved, and another window of the application opens.
    WindowDescriptor second = window(2);
    second.isMinimized = true;
    second.frame = {40, 60, 800, 500};
    selectWindows({window(1), second, window(3), window(4)});
    controller->show(dockHover());
    ASSERT_TRUE(menu);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(controller->isMenuOpen());
    ASSERT_EQ(controller->content()->items().size(), 4);
    EXPECT_EQ(controller->content()->items()[1], tile);
    // Its entries follow the window, and act on it as it is now.
    EXPECT_EQ(menu->actions()[2]->text(), "Restore");
    menu->actions()[2]->trigger();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0], std::pair(WindowAction::restore(), quint32{2}));
    EXPECT_EQ(actedOn[0].frame, second.frame);
    menu->actions()[4]->menu()->actions()[1]->trigger();
    EXPECT_EQ(actedOn.back().frame, second.frame);

    // The window goes: its menu closes and the others stay where they are.
    menu = openMenu(tile);
    ASSERT_TRUE(menu);
    const QList<QRect> before = itemFrames();
    selectWindows({window(1), window(3), window(4)});
    controller->show(dockHover());
    EXPECT_FALSE(controller->isMenuOpen());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(menu);
    EXPECT_FALSE(tile);
    EXPECT_EQ(itemFrames(), (QList<QRect>{before[0], before[2], before[3]}));
    EXPECT_EQ(actions.size(), 2);
    EXPECT_TRUE(selected.isEmpty());
}

TEST_F(SwitcherPanelControllerTest, WithoutACompositingManagerThePanelsAreOpaque) {
    selectWindows({window(1)});
    publish(1, picture());
    controller->show(commandTab());
    EXPECT_TRUE(controller->panel().isTranslucent());
    EXPECT_TRUE(controller->content()->options().translucent);
    compositing = false;
    controller->show(commandTab());
    EXPECT_FALSE(controller->panel().isTranslucent());
    EXPECT_FALSE(controller->content()->options().translucent);
    EXPECT_FALSE(controller->panel().testAttribute(Qt::WA_TranslucentBackground));
    // Cut to the card's rounded shape instead.
    EXPECT_FALSE(controller->panel().mask().isEmpty());
    EXPECT_FALSE(controller->panel().mask().contains(QPoint(2, 2)));
    // Its steps are drawn as a crisp rim: every pixel of the cut's edge in the edge colour.
    const QImage drawn = controller->panel().grab().toImage();
    const QColor edge = GlanceStyle::shapedEdge(Yard::palette(&controller->panel()));
    const QRegion rim = ShapedEdge::rimOf(controller->panel().mask());
    int rimPixels = 0;
    int offColour = 0;
    for (const QRect& rect : rim) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                ++rimPixels;
                offColour += drawn.pixelColor(x, y) == edge ? 0 : 1;
            }
        }
    }
    EXPECT_GT(rimPixels, 0);
    EXPECT_EQ(offColour, 0);
    hover(window(1));
    scheduler.advance(0.5);
    EXPECT_FALSE(controller->peekPanel().panel().isTranslucent());
    compositing = true;
    controller->show(commandTab());
    EXPECT_TRUE(controller->panel().testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(controller->panel().mask().isEmpty());
}

TEST_F(SwitcherPanelControllerTest, APreparedPanelIsMadeHiddenAndItsFirstShowingKeepsItsWindow) {
    compositing = false;
    controller->prepare();
    FloatingPanel& panel = controller->panel();
    EXPECT_TRUE(panel.testAttribute(Qt::WA_WState_Created));
    EXPECT_FALSE(panel.isVisible());
    EXPECT_FALSE(panel.testAttribute(Qt::WA_TranslucentBackground));
    const WId made = panel.internalWinId();

    selectWindows({window(1)});
    publish(1, picture());
    controller->show(commandTab());
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.internalWinId(), made) << "the first showing made the window again";

    // Preparing a visible panel leaves it as it is.
    controller->prepare();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.internalWinId(), made);

    // A compositing manager started since: the next showing takes the translucent surface.
    controller->hide();
    compositing = true;
    controller->prepare();
    EXPECT_TRUE(panel.testAttribute(Qt::WA_TranslucentBackground));
    controller->show(commandTab());
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(panel.isTranslucent());
}

}  // namespace
}  // namespace pellucine
