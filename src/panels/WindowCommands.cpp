#include "panels/WindowCommands.h"

namespace pellucine::WindowCommands {

namespace {

QString placementTitle(WindowPlacement placement) {
    switch (placement) {
        case WindowPlacement::maximize:
            return QStringLiteral("Maximize");
        case WindowPlacement::leftHalf:
            return QStringLiteral("Left Half");
        case WindowPlacement::rightHalf:
            return QStringLiteral("Right Half");
        case WindowPlacement::topLeft:
            return QStringLiteral("Top Left");
        case WindowPlacement::topRight:
            return QStringLiteral("Top Right");
        case WindowPlacement::bottomLeft:
            return QStringLiteral("Bottom Left");
        case WindowPlacement::bottomRight:
            return QStringLiteral("Bottom Right");
    }
    return {};
}

QString placementSymbol(WindowPlacement placement) {
    switch (placement) {
        case WindowPlacement::maximize:
            return QStringLiteral("rectangle.inset.filled");
        case WindowPlacement::leftHalf:
            return QStringLiteral("rectangle.lefthalf.inset.filled");
        case WindowPlacement::rightHalf:
            return QStringLiteral("rectangle.righthalf.inset.filled");
        case WindowPlacement::topLeft:
            return QStringLiteral("rectangle.inset.topleft.filled");
        case WindowPlacement::topRight:
            return QStringLiteral("rectangle.inset.topright.filled");
        case WindowPlacement::bottomLeft:
            return QStringLiteral("rectangle.inset.bottomleft.filled");
        case WindowPlacement::bottomRight:
            return QStringLiteral("rectangle.inset.bottomright.filled");
    }
    return {};
}

WindowCommand minimizeOrRestore(const WindowDescriptor& window) {
    if (window.isMinimized) {
        return {QStringLiteral("Restore"), QStringLiteral("arrow.up.forward.app"),
                WindowAction::restore()};
    }
    return {QStringLiteral("Minimize"), QStringLiteral("minus"), WindowAction::minimize()};
}

WindowCommand fullScreenToggle(const WindowDescriptor& window) {
    if (window.isFullScreen) {
        return {QStringLiteral("Exit Full Screen"),
                QStringLiteral("arrow.down.right.and.arrow.up.left"),
                WindowAction::toggleFullScreen()};
    }
    return {QStringLiteral("Enter Full Screen"),
            QStringLiteral("arrow.up.left.and.arrow.down.right"), WindowAction::toggleFullScreen()};
}

WindowCommand focusWindow() {
    return {QStringLiteral("Focus Window"), {}, WindowAction::focus()};
}

WindowCommand closeWindow() {
    return {QStringLiteral("Close Window"), {}, WindowAction::close(), true};
}

WindowMenuEntry commandEntry(WindowCommand command) {
    return {WindowMenuEntry::Kind::command, std::move(command), {}};
}

WindowMenuEntry separator() {
    return {WindowMenuEntry::Kind::separator, {}, {}};
}

}  // namespace

QString locationLabel(const WindowDescriptor& window,
                      const std::optional<RunningApplication>& owner) {
    if (window.isMinimized) {
        return QStringLiteral("Minimized");
    }
    if (window.isFullScreen) {
        return QStringLiteral("Full Screen");
    }
    if (window.isOnScreen) {
        return QStringLiteral("On Screen");
    }
    if (owner && owner->processIdentifier == window.ownerPID && owner->isHidden) {
        return QStringLiteral("Hidden");
    }
    return QStringLiteral("Other Desktop");
}

bool isPlainlyOnScreen(const WindowDescriptor& window) {
    return window.isOnScreen && !window.isMinimized && !window.isFullScreen;
}

QString displayTitle(const WindowDescriptor& window) {
    return window.title.isEmpty() ? QStringLiteral("Untitled window") : window.title;
}

QList<WindowCommand> controlButtons(const WindowDescriptor& window) {
    return {minimizeOrRestore(window),
            fullScreenToggle(window),
            {QStringLiteral("Close"), QStringLiteral("xmark"), WindowAction::close(), true}};
}

QList<WindowMenuEntry> windowMenu(const WindowDescriptor& window) {
    WindowMenuEntry moveAndResize{WindowMenuEntry::Kind::submenu,
                                  {QStringLiteral("Move & Resize"), {}, WindowAction::focus()},
                                  moveAndResizeMenu()};
    WindowCommand minimize = minimizeOrRestore(window);
    WindowCommand fullScreen = fullScreenToggle(window);
    // Menu entries carry no symbol; the submenu's placements do.
    minimize.symbol.clear();
    fullScreen.symbol.clear();
    return {commandEntry(focusWindow()), separator(),   commandEntry(minimize),
            commandEntry(fullScreen),    moveAndResize, separator(),
            commandEntry(closeWindow())};
}

QList<WindowCommand> moveAndResizeMenu() {
    QList<WindowCommand> commands;
    for (const WindowPlacement placement : allWindowPlacements) {
        commands.append({placementTitle(placement), placementSymbol(placement),
                         WindowAction::place(placement)});
    }
    return commands;
}

QList<WindowCommand> accessibilityActions(const WindowDescriptor& window, bool compactRow) {
    QList<WindowCommand> actions{focusWindow(), minimizeOrRestore(window)};
    if (!compactRow) {
        actions.append(fullScreenToggle(window));
    }
    actions.append(
        {QStringLiteral("Move to Left Half"), {}, WindowAction::place(WindowPlacement::leftHalf)});
    actions.append({QStringLiteral("Move to Right Half"),
                    {},
                    WindowAction::place(WindowPlacement::rightHalf)});
    actions.append(closeWindow());
    for (WindowCommand& action : actions) {
        action.symbol.clear();
    }
    return actions;
}

QList<ApplicationMenuEntry> applicationMenu(int windowCount) {
    const QString closeAll = windowCount == 1
                                 ? QStringLiteral("Close the Window")
                                 : QStringLiteral("Close All %1 Windows").arg(windowCount);
    return {{QStringLiteral("Minimize All Windows"), ApplicationAction::minimizeAll, false},
            {QStringLiteral("Restore All Windows"), ApplicationAction::restoreAll, false},
            {closeAll, ApplicationAction::closeAll, true},
            {{}, std::nullopt, false},
            {QStringLiteral("Hide App"), ApplicationAction::hide, false},
            {{}, std::nullopt, false},
            {QStringLiteral("Quit App"), ApplicationAction::quit, true}};
}

WindowPictureKind tilePicture(bool isPrivate, bool hasPicture, bool hasIcon) {
    if (isPrivate) {
        return WindowPictureKind::privatePlaceholder;
    }
    if (hasPicture) {
        return WindowPictureKind::picture;
    }
    return hasIcon ? WindowPictureKind::icon : WindowPictureKind::symbol;
}

std::optional<WindowPictureKind> rowPicture(bool isPrivate, bool hasPicture, bool hasIcon) {
    const WindowPictureKind kind = tilePicture(isPrivate, hasPicture, hasIcon);
    if (kind == WindowPictureKind::symbol) {
        return std::nullopt;
    }
    return kind;
}

}  // namespace pellucine::WindowCommands
