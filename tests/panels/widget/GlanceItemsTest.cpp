#include <gmock/gmock.h>

#include <QAccessible>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTest>
#include <cmath>

#include "GlanceFixture.h"
#include "design/Sampling.h"
#include "design/Yard.h"
#include "panels/CompactRow.h"
#include "panels/ControlButton.h"
#include "panels/GlanceContentView.h"
#include "panels/GlanceMenu.h"
#include "panels/PreviewTile.h"

namespace pellucine {
namespace {

class GlanceItemsTest : public testing::GlanceFixture {
  protected:
    std::unique_ptr<GlanceContentView> makeView(bool controls, bool compact = false) {
        PreviewGridLayout layout = PreviewGridLayout::compute(3, 1400, 600, 1.6, 260);
        auto view = std::make_unique<GlanceContentView>(
            *model, environment, callbacks(),
            GlanceContentView::Options{layout, controls, compact, false, {}, true});
        view->resize(900, 400);
        view->show();
        QCoreApplication::sendPostedEvents();
        return view;
    }
    static QStringList entries(const QMenu* menu) {
        QStringList out;
        for (const QAction* action : menu->actions()) {
            out << action->text();
        }
        return out;
    }
    GlanceMenu* openMenu(WindowItem* item) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), QPoint(10, 10));
        QCoreApplication::sendEvent(item, &event);
        const auto menus = item->findChildren<GlanceMenu*>(Qt::FindDirectChildrenOnly);
        return menus.isEmpty() ? nullptr : menus.back();
    }
};

TEST_F(GlanceItemsTest, TileTextsBadgesAndSize) {
    WindowDescriptor minimized = window(2, QStringLiteral("Drafts"));
    minimized.isMinimized = true;
    WindowDescriptor hidden = window(3, QStringLiteral("Sent"));
    hidden.isOnScreen = false;
    desktop.hide(mailPID);
    selectWindows({window(1, QString()), minimized, hidden});
    auto view = makeView(false);
    ASSERT_EQ(view->items().size(), 3);
    auto* plain = qobject_cast<PreviewTile*>(view->items()[0]);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->toolTip(), "Untitled window");
    EXPECT_EQ(plain->accessibleLabel(), QStringLiteral("Untitled window \u2014 Mail"));
    EXPECT_EQ(plain->accessibleValue(), "On Screen");
    EXPECT_TRUE(plain->badgeRect().isEmpty());
    EXPECT_EQ(plain->size(), QSize(270, PreviewTile::tileSize(view->options().layout).height()));

    auto* badged = qobject_cast<PreviewTile*>(view->items()[1]);
    EXPECT_EQ(badged->accessibleValue(), "Minimized");
    const QRectF badge = badged->badgeRect();
    ASSERT_FALSE(badge.isEmpty());
    // Top-trailing corner of the card, 7 in.
    EXPECT_DOUBLE_EQ(badge.right(), badged->cardRect().right() - 7);
    EXPECT_DOUBLE_EQ(badge.top(), badged->cardRect().top() + 7);
    EXPECT_EQ(view->items()[2]->accessibleValue(), "Hidden");
}

TEST_F(GlanceItemsTest, PicturesAndPrivacyChangeItemsInPlace) {
    WindowDescriptor vault = window(2, QStringLiteral("Logins"));
    vault.ownerBundleIdentifier = QStringLiteral("com.1password.vault");
    selectWindows({window(1), vault});
    publish(2, picture());
    auto view = makeView(false);
    auto* tile = qobject_cast<PreviewTile*>(view->items()[0]);
    auto* kept = qobject_cast<PreviewTile*>(view->items()[1]);
    EXPECT_EQ(tile->pictureKind(), WindowPictureKind::symbol);
    // A password manager's picture, though held, is not shown.
    EXPECT_EQ(kept->pictureKind(), WindowPictureKind::privatePlaceholder);

    icons.icons.insert(mailPID, picture(32, 32));
    publish(1, picture());
    ASSERT_EQ(view->items()[0], tile);
    EXPECT_EQ(tile->pictureKind(), WindowPictureKind::picture);

    setPrivate(false);
    EXPECT_EQ(view->items()[1], kept);
    EXPECT_EQ(kept->pictureKind(), WindowPictureKind::picture);
    setPrivate(true);
    EXPECT_EQ(kept->pictureKind(), WindowPictureKind::privatePlaceholder);

    // Without a picture, the application's icon.
    model->previewImages().set({});
    EXPECT_EQ(tile->pictureKind(), WindowPictureKind::icon);
}

TEST_F(GlanceItemsTest, AWindowWhoseApplicationDidNotAnswerACloseSaysSoInPlace) {
    selectWindows({window(1), window(2)});
    model->unansweredWindows().set({2});
    auto view = makeView(true);
    auto* tile = qobject_cast<PreviewTile*>(view->items()[1]);
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile->accessibleValue(), "Not responding");
    EXPECT_FALSE(tile->badgeRect().isEmpty()) << "on screen, and still badged";
    EXPECT_TRUE(view->items()[0]->state().location == "On Screen");

    model->unansweredWindows().set({});
    ASSERT_EQ(view->items()[1], tile);
    EXPECT_EQ(tile->accessibleValue(), "On Screen");
    EXPECT_TRUE(tile->badgeRect().isEmpty());
}

TEST_F(GlanceItemsTest, ControlsSendOnlyTheirOwnActionAndFollowTheWindow) {
    selectWindows({window(1)});
    auto view = makeView(true);
    WindowItem* tile = view->items()[0];
    ASSERT_EQ(tile->controls().size(), 3);
    QTest::mouseClick(tile->controls()[2], Qt::LeftButton);
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0].first, WindowAction::close());
    EXPECT_TRUE(selected.isEmpty());
    EXPECT_TRUE(tile->controls()[2]->look().destructive);

    QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(selected, QList<quint32>{1});
    // A press that is released outside the tile is no click.
    QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(-5, 20));
    EXPECT_EQ(selected.size(), 1);

    WindowDescriptor minimized = window(1);
    minimized.isMinimized = true;
    selectWindows({minimized});
    ASSERT_EQ(view->items()[0], tile);
    EXPECT_EQ(tile->controls()[0]->symbol(), "arrow.up.forward.app");
    EXPECT_EQ(tile->controls()[0]->toolTip(), "Restore");
    QTest::mouseClick(tile->controls()[0], Qt::LeftButton);
    EXPECT_EQ(actions.back().first, WindowAction::restore());

    auto plain = makeView(false);
    EXPECT_TRUE(plain->items()[0]->controls().isEmpty());
}

TEST_F(GlanceItemsTest, WindowMenuByPointerAndKeyboard) {
    selectWindows({window(1)});
    // Without controls the menu is still there.
    auto view = makeView(false);
    GlanceMenu* menu = openMenu(view->items()[0]);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(view->isMenuOpen());
    EXPECT_EQ(entries(menu), QStringList({"Focus Window", "", "Minimize", "Enter Full Screen",
                                          "Move && Resize", "", "Close Window"}));
    EXPECT_TRUE(GlanceMenu::isDestructive(menu->actions()[6]));
    QMenu* placements = menu->actions()[4]->menu();
    ASSERT_NE(placements, nullptr);
    EXPECT_EQ(placements->actions().size(), 7);
    placements->actions()[4]->trigger();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0].first, WindowAction::place(WindowPlacement::topRight));

    // The first entry, chosen with the keyboard, selects the window.
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(selected, QList<quint32>{1});
    EXPECT_FALSE(view->isMenuOpen());
}

TEST_F(GlanceItemsTest, AQuickSecondRightClickLeavesTheMenuItOpensOpen) {
    selectWindows({window(1)});
    auto view = makeView(true);
    GlanceMenu* menu = openMenu(view->items()[0]);
    ASSERT_NE(menu, nullptr);
    // The second press of a double click reaches the menu that press opened, at its corner.
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(0, 0), menu->mapToGlobal(QPointF(0, 0)),
                       Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &second);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(view->isMenuOpen());
    // A single press outside still closes it.
    QTest::mouseClick(menu, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_FALSE(view->isMenuOpen());
}

TEST_F(GlanceItemsTest, HoveringReportsEnteringAndLeaving) {
    selectWindows({window(1), window(2)});
    auto view = makeView(false);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(view->items()[0], &enter);
    QCoreApplication::sendEvent(view->items()[0], &leave);
    QCoreApplication::sendEvent(view->items()[1], &enter);
    EXPECT_EQ(hovers, (QList<std::optional<quint32>>{1, std::nullopt, 2}));
}

TEST_F(GlanceItemsTest, AccessibleButtonWithNamedActions) {
    WindowDescriptor full = window(1, QStringLiteral("Deck"));
    full.isFullScreen = true;
    selectWindows({full});
    auto view = makeView(true);
    QAccessibleInterface* tile = QAccessible::queryAccessibleInterface(view->items()[0]);
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile->role(), QAccessible::Button);
    EXPECT_EQ(tile->text(QAccessible::Name), QStringLiteral("Deck \u2014 Mail"));
    EXPECT_EQ(tile->text(QAccessible::Value), "Full Screen");
    EXPECT_EQ(tile->text(QAccessible::Description), "Focus this window");
    // The control buttons are not elements of their own.
    EXPECT_EQ(tile->childCount(), 0);
    QAccessibleActionInterface* acting = tile->actionInterface();
    ASSERT_NE(acting, nullptr);
    EXPECT_THAT(acting->actionNames(),
                ::testing::ElementsAre(QAccessibleActionInterface::pressAction(), "Focus Window",
                                       "Minimize", "Exit Full Screen", "Move to Left Half",
                                       "Move to Right Half", "Close Window"));
    acting->doAction(QAccessibleActionInterface::pressAction());
    acting->doAction(QStringLiteral("Move to Right Half"));
    acting->doAction(QStringLiteral("No such action"));
    EXPECT_EQ(selected, QList<quint32>{1});
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0].first, WindowAction::place(WindowPlacement::rightHalf));

    auto list = makeView(true, true);
    auto* row = qobject_cast<CompactRow*>(list->items()[0]);
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->accessibleActionNames().contains("Exit Full Screen"));
    EXPECT_EQ(row->accessibleActionNames().size(), 5);
}

TEST_F(GlanceItemsTest, RowsCropPicturesAndLeaveRoomForControls) {
    WindowDescriptor vault = window(2, QStringLiteral("Logins"));
    vault.ownerBundleIdentifier = QStringLiteral("com.1password.vault");
    selectWindows({window(1), vault, window(3)});
    publish(1, picture(400, 100));
    publish(2, picture());
    auto view = makeView(true, true);
    auto* withPicture = qobject_cast<CompactRow*>(view->items()[0]);
    ASSERT_NE(withPicture, nullptr);
    EXPECT_EQ(withPicture->height(), CompactRow::rowHeight);
    EXPECT_EQ(withPicture->pictureKind(), WindowPictureKind::picture);
    EXPECT_EQ(qobject_cast<CompactRow*>(view->items()[1])->pictureKind(),
              WindowPictureKind::privatePlaceholder);
    EXPECT_EQ(qobject_cast<CompactRow*>(view->items()[2])->pictureKind(), std::nullopt);
    // The texts end 6 before the first control; without controls they reach the inset.
    const QRectF texts = withPicture->textRect();
    EXPECT_DOUBLE_EQ(texts.right(), withPicture->controls()[0]->x() - 10 - 6);
    auto plain = makeView(false, true);
    auto* row = qobject_cast<CompactRow*>(plain->items()[0]);
    EXPECT_DOUBLE_EQ(row->textRect().right(), row->width() - 8 - 6);
}

TEST_F(GlanceItemsTest, ControlDiscsStayVisibleOverAnyPicture) {
    // The largest difference in grey between the background and the disc's rim band.
    const auto rimContrast = [](const QImage& image, const QColor& background) {
        const QPointF centre = QRectF(image.rect()).center();
        const qreal radius = image.width() / 2.0;
        int best = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const qreal d = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
                if (d < radius - 2.5 || d > radius - 0.5) {
                    continue;
                }
                best = std::max(best, std::abs(qGray(image.pixel(x, y)) - qGray(background.rgb())));
            }
        }
        return best;
    };
    for (const ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        ControlButton button(QStringLiteral("xmark"), QStringLiteral("Close"), {});
        Yard::setScheme(&button, scheme);
        button.resize(button.sizeHint());
        for (const QColor& picture :
             {QColor(Qt::white), QColor(Qt::black), QColor(128, 128, 128), QColor(250, 250, 245)}) {
            const QImage image = testing::renderOver(button, picture);
            EXPECT_GE(rimContrast(image, picture), 40)
                << (scheme == ColorScheme::dark ? "dark " : "light ")
                << picture.name().toStdString();
        }
    }
}

}  // namespace
}  // namespace pellucine
