#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "core/ApplicationAction.h"
#include "core/WindowAction.h"
#include "core/WindowDescriptor.h"
#include "platform/RunningApplication.h"

namespace pellucine {

// One operation a glance offers on a window: its text (button tooltip, menu title or action
// name), its symbol, and what it sends. A `focus` action is sent as a selection of the window
// (the panel's onSelect), every other action through onAction.
struct WindowCommand {
    QString title;
    QString symbol;
    WindowAction action;
    bool destructive = false;

    friend bool operator==(const WindowCommand&, const WindowCommand&) = default;
};

// One entry of a window menu: a command, a separator, or a submenu of commands.
struct WindowMenuEntry {
    enum class Kind { command, separator, submenu };
    Kind kind = Kind::command;
    // The command; for a submenu only its title is used.
    WindowCommand command;
    QList<WindowCommand> submenu;

    friend bool operator==(const WindowMenuEntry&, const WindowMenuEntry&) = default;
};

// One entry of the application menu; a separator has no action.
struct ApplicationMenuEntry {
    QString title;
    std::optional<ApplicationAction> action;
    bool destructive = false;

    friend bool operator==(const ApplicationMenuEntry&, const ApplicationMenuEntry&) = default;
};

// What a tile or row stands on: the captured picture unless the window is kept private, else
// the application's icon, else a generic window symbol (a tile) or the bare fill (a row).
enum class WindowPictureKind { privatePlaceholder, picture, icon, symbol };

// The texts, menus and actions of the windows in a glance. Pure: the only state read is the
// window's and its running application's.
namespace WindowCommands {

// "Minimized", "Full Screen", "On Screen", then "Hidden" when the owner runs and is hidden,
// else "Other Desktop". The first that holds wins.
QString locationLabel(const WindowDescriptor& window,
                      const std::optional<RunningApplication>& owner);
// On screen and neither minimized nor full screen: no location badge or line.
bool isPlainlyOnScreen(const WindowDescriptor& window);
// Stands in the location's place for a window whose application did not answer a close.
inline const QString unansweredLabel = QStringLiteral("Not responding");
// The title, or "Untitled window" when it is empty.
QString displayTitle(const WindowDescriptor& window);

// Minimize or Restore, Enter or Exit Full Screen, Close.
QList<WindowCommand> controlButtons(const WindowDescriptor& window);
// Focus, separator, Minimize or Restore, Enter or Exit Full Screen, "Move & Resize", separator,
// "Close Window". Nothing is disabled for the window's state.
QList<WindowMenuEntry> windowMenu(const WindowDescriptor& window);
// Every placement in declaration order.
QList<WindowCommand> moveAndResizeMenu();
// The named accessibility actions; a compact row has no full-screen action.
QList<WindowCommand> accessibilityActions(const WindowDescriptor& window, bool compactRow);

// Minimize all, restore all, close all (worded for one window or a count), hide, quit.
QList<ApplicationMenuEntry> applicationMenu(int windowCount);

WindowPictureKind tilePicture(bool isPrivate, bool hasPicture, bool hasIcon);
// A row shows no symbol: without picture or icon its thumbnail is the bare fill.
std::optional<WindowPictureKind> rowPicture(bool isPrivate, bool hasPicture, bool hasIcon);

}  // namespace WindowCommands
}  // namespace pellucine
