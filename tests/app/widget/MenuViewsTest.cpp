#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWidgetAction>
#include <cmath>

#include "app/MenuHeader.h"
#include "app/MenuRow.h"
#include "app/StatusMenu.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using T = MenuRowTrailing;
using G = MenuRowGeometry;

MenuRowContent row(const QString& title, T trailing = T::none()) {
    MenuRowContent content;
    content.title = title;
    content.symbol = "gearshape";
    content.trailing = std::move(trailing);
    return content;
}

TEST(MenuRowTest, KeyCapsRunRightAlignedToTheTrailingInset) {
    const MenuRowGeometry g =
        menuRowGeometry(row("Settings…", T::keyCaps({"Ctrl", ","})), {300, 24});
    ASSERT_EQ(g.caps.size(), 2);
    for (const QRectF& cap : g.caps) {
        EXPECT_GE(cap.width(), 16);
        EXPECT_DOUBLE_EQ(cap.center().y(), 12);
    }
    EXPECT_DOUBLE_EQ(g.caps[1].left() - g.caps[0].right(), 2);
    EXPECT_DOUBLE_EQ(g.caps[1].right(), 300 - 21);
    EXPECT_DOUBLE_EQ(keysWidth({"Ctrl", ","}), g.caps[1].right() - g.caps[0].left());
    // A wide label widens its cap past the minimum; the measure is rounded up first.
    const qreal space = QFontMetricsF(MenuRowFonts::keyCap()).horizontalAdvance("Space");
    EXPECT_DOUBLE_EQ(capWidths({"Space"}).value(0), std::max(std::ceil(space), 11.0) + 5);
    EXPECT_DOUBLE_EQ(keysWidth({}), 0);
    EXPECT_TRUE(menuRowGeometry(row("x", T::keyCaps({})), {300, 24}).caps.isEmpty());
}

TEST(MenuRowTest, TextAndSubtitlesArePlacedAsTheRowPrescribes) {
    const MenuRowGeometry about = menuRowGeometry(row("About", T::plainText("v1.2.3")), {280, 24});
    ASSERT_TRUE(about.trailingText);
    EXPECT_DOUBLE_EQ(about.trailingText->right(), 280 - 21);
    EXPECT_DOUBLE_EQ(trailingWidth(T::plainText("v1.2.3")), about.trailingText->width());

    MenuRowContent update = row("v2.0 Available");
    update.subtitle = "Click to learn more…";
    const MenuRowGeometry two = menuRowGeometry(update, {280, 24});
    ASSERT_TRUE(two.subtitle);
    EXPECT_DOUBLE_EQ(two.symbol.left(), 15);
    EXPECT_DOUBLE_EQ(two.symbolPointSize, about.symbolPointSize + 2);
    EXPECT_DOUBLE_EQ(two.subtitle->top() - two.title.bottom(), 1);
    EXPECT_NEAR((two.title.top() + two.subtitle->bottom()) / 2, 12, 1e-9);

    MenuRowContent unknown = row("Odd");
    unknown.symbol = "no.such.symbol";
    const MenuRowGeometry odd = menuRowGeometry(unknown, {280, 24});
    EXPECT_TRUE(odd.symbol.isEmpty());
    EXPECT_DOUBLE_EQ(odd.title.left(), 37.5);
}

// A row in a menu, as the status menu puts it there.
struct RowInMenu {
    explicit RowInMenu(MenuRowContent content) {
        action = new QWidgetAction(&menu);
        row = new MenuRow(std::move(content), {280, 24});
        action->setDefaultWidget(row);
        menu.addAction(action);
        QObject::connect(action, &QAction::triggered, [this] {
            // The menu is closed by the time the action runs.
            triggeredWhileOpen << menu.isVisible();
        });
        menu.popup({50, 50});
    }
    ~RowInMenu() { menu.hide(); }

    QMenu menu;
    QWidgetAction* action;
    MenuRow* row;
    QList<bool> triggeredWhileOpen;
};

TEST(MenuRowTest, AClickClosesTheMenuThenPerformsTheAction) {
    RowInMenu in(row("Settings…", T::keyCaps({"Ctrl", ","})));
    EXPECT_EQ(in.row->enclosingAction(), in.action);
    EXPECT_FALSE(in.row->isHighlighted());
    in.menu.setActiveAction(in.action);
    EXPECT_TRUE(in.row->isHighlighted());
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(40, 12),
                        in.row->mapToGlobal(QPointF(40, 12)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(in.row, &release);
    EXPECT_EQ(in.triggeredWhileOpen, QList<bool>{false});
    EXPECT_FALSE(in.menu.isVisible());
}

TEST(MenuRowTest, ADisabledRowNeverHighlightsNorActs) {
    MenuRowContent content = row("Quit PELLUCINE", T::keyCaps({"Ctrl", "Q"}));
    content.enabled = false;
    RowInMenu in(content);
    in.menu.setActiveAction(in.action);
    EXPECT_FALSE(in.row->isHighlighted());
    EXPECT_FALSE(in.row->performClick());
    EXPECT_TRUE(in.triggeredWhileOpen.isEmpty());
    MenuRow loose(row("Loose"), {280, 24});
    EXPECT_FALSE(loose.performClick());
}

TEST(MenuRowTest, AssistiveTechnologiesReadTheRowAndCanPressIt) {
    RowInMenu in(row("Settings…", T::keyCaps({"Ctrl", ","})));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(in.row);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::MenuItem);
    EXPECT_EQ(face->text(QAccessible::Name), "Settings…, Control Comma");
    QAccessibleActionInterface* actions = face->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(in.triggeredWhileOpen, QList<bool>{false});
    // Disabled: nothing to press.
    MenuRowContent disabled = row("Off", T::keyCaps({"Ctrl"}));
    disabled.enabled = false;
    MenuRow off(disabled, {280, 24});
    QAccessibleActionInterface* none =
        QAccessible::queryAccessibleInterface(&off)->actionInterface();
    EXPECT_TRUE(none == nullptr || none->actionNames().isEmpty());
}

TEST(MenuRowTest, TheHighlightFillsTheInsetRoundedRectangle) {
    RowInMenu in(row("Settings…", T::keyCaps({"Ctrl", ","})));
    QPalette colours = in.menu.palette();
    colours.setColor(QPalette::Highlight, QColor(0, 0, 255));
    in.menu.setPalette(colours);
    in.menu.setActiveAction(in.action);
    const QImage lit = in.row->grab().toImage();
    // Between the inset edge and the symbol.
    EXPECT_EQ(lit.pixelColor(9, 12), QColor(0, 0, 255));
    EXPECT_NE(lit.pixelColor(2, 12), QColor(0, 0, 255));
    EXPECT_EQ(lit.pixelColor(277, 12), lit.pixelColor(2, 12));
    in.menu.setActiveAction(nullptr);
    EXPECT_NE(in.row->grab().toImage().pixelColor(9, 12), QColor(0, 0, 255));
}

TEST(MenuHeaderTest, TheHeaderTakesItsWidthAndLinesItsCapsUpWithTheRows) {
    MenuHeader header(400, {"Super", "Tab"});
    EXPECT_EQ(header.sizeHint().width(), 400);
    EXPECT_GE(header.sizeHint().height(), 6 + 30 + 7);
    EXPECT_DOUBLE_EQ(header.iconRect().left(), 15);
    EXPECT_DOUBLE_EQ(header.wordmarkRect().left(), 15 + 30 + 10);
    const QList<QRectF> caps = header.capRects();
    ASSERT_EQ(caps.size(), 2);
    const MenuRowGeometry below =
        menuRowGeometry(row("Quit", T::keyCaps({"Super", "Tab"})), {400, 24});
    EXPECT_DOUBLE_EQ(caps[1].right(), 400 - 21);
    EXPECT_DOUBLE_EQ(caps[0].left(), below.caps[0].left());
    EXPECT_EQ(header.accessibleName(), "PELLUCINE. Super+Tab.");
}

StatusMenuModel menuWith(const QString& showWindowsTitle) {
    StatusMenuState state;
    state.accessibility = state.screenRecording = PermissionState::granted;
    state.windowSearchHotkey =
        KeyCombo{KeyCombo::spaceKeyCode, KeyCombo::shift | KeyCombo::command};
    state.currentVersion = "1.2.3";
    state.targetApplicationName = showWindowsTitle;
    return makeStatusMenu(state);
}

// The widths of the header and every row widget in the menu.
QList<int> widths(QMenu& menu) {
    QList<int> out;
    for (QAction* action : menu.actions()) {
        if (auto* widgetAction = qobject_cast<QWidgetAction*>(action)) {
            out << widgetAction->defaultWidget()->width();
        }
    }
    return out;
}

TEST(StatusMenuTest, TheHeaderAndEveryRowShareOneWidthThatFitsTheWidestRow) {
    StatusMenu status(nullptr);
    status.render(menuWith("Notes"), ColorScheme::light);
    QList<int> shown = widths(status.menu());
    ASSERT_EQ(shown.size(), 12);
    EXPECT_EQ(shown.count(shown.first()), shown.size());
    EXPECT_EQ(shown.first(), 283);
    EXPECT_FALSE(status.action(StatusMenuItem::update)->isVisible());
    EXPECT_FALSE(status.action(StatusMenuItem::updateSeparator)->isVisible());
    EXPECT_FALSE(status.action(StatusMenuItem::header)->isEnabled());
    // A hidden row does not widen the menu.
    QList<StatusMenuRow> hidden = menuWith("Notes").rows;
    hidden[3].content.title = QString(80, QLatin1Char('W'));
    EXPECT_EQ(statusMenuWidth(hidden), 283);

    // A long application name widens everything, the header included.
    const QString name(60, QLatin1Char('W'));
    const StatusMenuModel wide = menuWith(name);
    status.render(wide, ColorScheme::dark);
    shown = widths(status.menu());
    EXPECT_EQ(shown.count(shown.first()), shown.size());
    EXPECT_EQ(shown.first(), plainRowWidthNeed(wide.row(StatusMenuItem::showWindows).content));
    EXPECT_GT(shown.first(), 283);
    EXPECT_GE(shown.first(), trailingRowWidthNeed("Quit PELLUCINE", T::keyCaps({"Ctrl", "Q"})));
}

TEST(StatusMenuTest, EachOpeningAsksForAFreshMenuAndKeysPerformRows) {
    int openings = 0;
    StatusMenu status([&] {
        ++openings;
        return std::pair{menuWith(QStringLiteral("App %1").arg(openings)), ColorScheme::light};
    });
    QList<StatusMenuItem> chosen;
    QObject::connect(&status, &StatusMenu::triggered, [&](StatusMenuItem item) { chosen << item; });
    for (int i = 1; i <= 3; ++i) {
        status.popup({40, 40});
        EXPECT_EQ(status.action(StatusMenuItem::showWindows)->text(),
                  QStringLiteral("Show App %1 Windows").arg(i));
        EXPECT_EQ(status.menu().actions().size(), 17);
        status.menu().hide();
    }
    status.popup({40, 40});
    // The search hotkey, Shift-Command-Space, with Command as Super.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::ShiftModifier | Qt::MetaModifier);
    QCoreApplication::sendEvent(&status.menu(), &key);
    EXPECT_FALSE(status.menu().isVisible());
    EXPECT_EQ(chosen, QList<StatusMenuItem>{StatusMenuItem::searchWindows});
    EXPECT_EQ(menuShortcut({"q", KeyCombo::command}), QKeySequence(Qt::META | Qt::Key_Q));
    EXPECT_EQ(menuShortcut({",", KeyCombo::control | KeyCombo::option}),
              QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Comma));
    EXPECT_TRUE(menuShortcut({"", KeyCombo::command}).isEmpty());
}

}  // namespace
}  // namespace pellucine
