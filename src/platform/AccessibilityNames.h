#pragma once

#include <QStringView>

// The vocabulary of accessibility-shaped elements: attribute, action, role and notification
// names as the port's implementations publish them.
namespace pellucine::ax {

// Attributes.
inline constexpr QStringView windows = u"AXWindows";
inline constexpr QStringView role = u"AXRole";
inline constexpr QStringView subrole = u"AXSubrole";
inline constexpr QStringView title = u"AXTitle";
inline constexpr QStringView description = u"AXDescription";
inline constexpr QStringView position = u"AXPosition";
inline constexpr QStringView size = u"AXSize";
inline constexpr QStringView minimized = u"AXMinimized";
inline constexpr QStringView fullScreen = u"AXFullScreen";
inline constexpr QStringView closeButton = u"AXCloseButton";
inline constexpr QStringView children = u"AXChildren";
inline constexpr QStringView parent = u"AXParent";
inline constexpr QStringView selected = u"AXSelected";
inline constexpr QStringView focused = u"AXFocused";
inline constexpr QStringView focusedWindow = u"AXFocusedWindow";
inline constexpr QStringView url = u"AXURL";
inline constexpr QStringView hidden = u"AXHidden";
inline constexpr QStringView frontmost = u"AXFrontmost";
// The process a shell item stands for, where the shell knows it: copies of one application
// share their URL and title.
inline constexpr QStringView itemProcessIdentifier = u"AXItemProcessIdentifier";

// Actions.
inline constexpr QStringView raise = u"AXRaise";
inline constexpr QStringView press = u"AXPress";

// Role and subrole values.
inline constexpr QStringView applicationRole = u"AXApplication";
inline constexpr QStringView windowRole = u"AXWindow";
inline constexpr QStringView buttonRole = u"AXButton";
inline constexpr QStringView standardWindow = u"AXStandardWindow";
inline constexpr QStringView dialog = u"AXDialog";
inline constexpr QStringView closeButtonSubrole = u"AXCloseButton";

// Notifications.
inline constexpr QStringView windowCreated = u"AXWindowCreated";
inline constexpr QStringView focusedWindowChanged = u"AXFocusedWindowChanged";
inline constexpr QStringView elementDestroyed = u"AXUIElementDestroyed";
inline constexpr QStringView windowMiniaturized = u"AXWindowMiniaturized";
inline constexpr QStringView windowDeminiaturized = u"AXWindowDeminiaturized";
inline constexpr QStringView titleChanged = u"AXTitleChanged";
inline constexpr QStringView resized = u"AXResized";
inline constexpr QStringView moved = u"AXMoved";

}  // namespace pellucine::ax
