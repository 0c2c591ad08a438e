#include <gtest/gtest.h>

#include "panels/WindowCommands.h"

namespace pellucine {
namespace {

using namespace WindowCommands;

WindowDescriptor window(bool minimized, bool fullScreen, bool onScreen) {
    WindowDescriptor w;
    w.id = 7;
    w.ownerPID = 40;
    w.applicationName = QStringLiteral("Mail");
    w.isMinimized = minimized;
    w.isFullScreen = fullScreen;
    w.isOnScreen = onScreen;
    return w;
}

RunningApplication owner(bool hidden, qint32 pid = 40) {
    RunningApplication app;
    app.processIdentifier = pid;
    app.isHidden = hidden;
    return app;
}

QStringList titles(const QList<WindowCommand>& commands) {
    QStringList out;
    for (const WindowCommand& c : commands) {
        out << c.title;
    }
    return out;
}

TEST(WindowCommandsTest, LocationLabelTakesTheFirstRuleThatHolds) {
    // Minimized wins over on screen and full screen; full screen over on screen.
    EXPECT_EQ(locationLabel(window(true, true, true), owner(true)), "Minimized");
    EXPECT_EQ(locationLabel(window(false, true, true), owner(true)), "Full Screen");
    // On screen wins over a hidden application.
    EXPECT_EQ(locationLabel(window(false, false, true), owner(true)), "On Screen");
    EXPECT_EQ(locationLabel(window(false, false, false), owner(true)), "Hidden");
    EXPECT_EQ(locationLabel(window(false, false, false), owner(false)), "Other Desktop");
    // An application that is not running, or another process's answer, is not hidden.
    EXPECT_EQ(locationLabel(window(false, false, false), std::nullopt), "Other Desktop");
    EXPECT_EQ(locationLabel(window(false, false, false), owner(true, 41)), "Other Desktop");

    EXPECT_TRUE(isPlainlyOnScreen(window(false, false, true)));
    EXPECT_FALSE(isPlainlyOnScreen(window(true, false, true)));
    EXPECT_FALSE(isPlainlyOnScreen(window(false, true, true)));
    EXPECT_EQ(displayTitle(window(false, false, true)), "Untitled window");
}

TEST(WindowCommandsTest, ControlsFollowTheWindowsState) {
    const QList<WindowCommand> plain = controlButtons(window(false, false, true));
    EXPECT_EQ(titles(plain), QStringList({"Minimize", "Enter Full Screen", "Close"}));
    EXPECT_EQ(plain[0].symbol, "minus");
    EXPECT_EQ(plain[0].action, WindowAction::minimize());
    EXPECT_EQ(plain[1].symbol, "arrow.up.left.and.arrow.down.right");
    EXPECT_TRUE(plain[2].destructive);
    EXPECT_FALSE(plain[0].destructive || plain[1].destructive);

    const QList<WindowCommand> changed = controlButtons(window(true, true, false));
    EXPECT_EQ(titles(changed), QStringList({"Restore", "Exit Full Screen", "Close"}));
    EXPECT_EQ(changed[0].symbol, "arrow.up.forward.app");
    EXPECT_EQ(changed[0].action, WindowAction::restore());
    EXPECT_EQ(changed[1].symbol, "arrow.down.right.and.arrow.up.left");
    // Both states toggle.
    EXPECT_EQ(changed[1].action, WindowAction::toggleFullScreen());
    EXPECT_EQ(plain[1].action, WindowAction::toggleFullScreen());
}

TEST(WindowCommandsTest, WindowMenuListsEveryEntryWhateverTheState) {
    for (const bool minimized : {false, true}) {
        const QList<WindowMenuEntry> menu = windowMenu(window(minimized, minimized, false));
        ASSERT_EQ(menu.size(), 7);
        EXPECT_EQ(menu[0].command.title, "Focus Window");
        EXPECT_EQ(menu[0].command.action, WindowAction::focus());
        EXPECT_EQ(menu[1].kind, WindowMenuEntry::Kind::separator);
        EXPECT_EQ(menu[2].command.title, minimized ? "Restore" : "Minimize");
        EXPECT_EQ(menu[3].command.title, minimized ? "Exit Full Screen" : "Enter Full Screen");
        EXPECT_EQ(menu[4].kind, WindowMenuEntry::Kind::submenu);
        EXPECT_EQ(menu[4].command.title, "Move & Resize");
        EXPECT_EQ(menu[4].submenu.size(), 7);
        EXPECT_EQ(menu[5].kind, WindowMenuEntry::Kind::separator);
        EXPECT_EQ(menu[6].command.title, "Close Window");
        EXPECT_TRUE(menu[6].command.destructive);
    }
    const QList<WindowCommand> placements = moveAndResizeMenu();
    EXPECT_EQ(titles(placements), QStringList({"Maximize", "Left Half", "Right Half", "Top Left",
                                               "Top Right", "Bottom Left", "Bottom Right"}));
    EXPECT_EQ(placements[4].action, WindowAction::place(WindowPlacement::topRight));
    EXPECT_EQ(placements[4].symbol, "rectangle.inset.topright.filled");
}

TEST(WindowCommandsTest, ARowHasNoFullScreenAction) {
    const WindowDescriptor full = window(false, true, true);
    EXPECT_EQ(titles(accessibilityActions(full, false)),
              QStringList({"Focus Window", "Minimize", "Exit Full Screen", "Move to Left Half",
                           "Move to Right Half", "Close Window"}));
    const QList<WindowCommand> row = accessibilityActions(window(true, false, false), true);
    EXPECT_EQ(titles(row), QStringList({"Focus Window", "Restore", "Move to Left Half",
                                        "Move to Right Half", "Close Window"}));
    EXPECT_EQ(row[1].action, WindowAction::restore());
    EXPECT_EQ(row[2].action, WindowAction::place(WindowPlacement::leftHalf));
}

TEST(WindowCommandsTest, ApplicationMenuWordsTheCloseEntryForTheCount) {
    const QList<ApplicationMenuEntry> one = applicationMenu(1);
    ASSERT_EQ(one.size(), 7);
    EXPECT_EQ(one[2].title, "Close the Window");
    EXPECT_EQ(one[2].action, ApplicationAction::closeAll);
    EXPECT_TRUE(one[2].destructive);
    EXPECT_FALSE(one[3].action);
    EXPECT_FALSE(one[5].action);
    EXPECT_EQ(one[6].title, "Quit App");
    EXPECT_TRUE(one[6].destructive);
    EXPECT_FALSE(one[4].destructive);
    EXPECT_EQ(applicationMenu(3)[2].title, "Close All 3 Windows");
}

TEST(WindowCommandsTest, PrivacyComesBeforeThePicture) {
    EXPECT_EQ(tilePicture(true, true, true), WindowPictureKind::privatePlaceholder);
    EXPECT_EQ(tilePicture(false, true, true), WindowPictureKind::picture);
    EXPECT_EQ(tilePicture(false, false, true), WindowPictureKind::icon);
    EXPECT_EQ(tilePicture(false, false, false), WindowPictureKind::symbol);
    EXPECT_EQ(rowPicture(true, true, false), WindowPictureKind::privatePlaceholder);
    // A row without picture or icon shows its bare fill.
    EXPECT_EQ(rowPicture(false, false, false), std::nullopt);
}

}  // namespace
}  // namespace pellucine
