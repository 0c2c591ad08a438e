#pragma once

#include <QIcon>
#include <QObject>
#include <memory>
#include <optional>

#include "design/ColorScheme.h"
#include "platform/SwitcherBinding.h"

class QSystemTrayIcon;

namespace pellucine {

class StatusMenu;

// The tray icon: one symbol, drawn for the scheme since the tray's colour is unknown (white
// on a dark desktop, black on a light one). A "MenuBarIcon.png" resource, when the bundle has
// one, gives the shape instead (only its opacity is used).
QIcon makeMenuBarIcon(ColorScheme scheme);

// The program's item in the system tray. Activating it (any button) opens the program's own
// status menu under the pointer; the tray is never handed the menu, so a tray host that would
// export it natively cannot strip its rows. Where the desktop has no tray the item exists but
// shows nowhere. Main thread.
class StatusItem final : public QObject {
    Q_OBJECT

  public:
    // Names the keys the switcher strip opens on, or only the Dock bar while the strip is off.
    static QString toolTip(const std::optional<SwitcherBinding>& switcherKeys);

    StatusItem(StatusMenu& menu, ColorScheme scheme,
               const std::optional<SwitcherBinding>& switcherKeys, QObject* parent = nullptr);
    ~StatusItem() override;

    // Whether the desktop runs a tray that can show the item.
    static bool isTrayAvailable();

    void setVisible(bool visible);
    bool isVisible() const;
    // Shown and there is a tray to show it in.
    bool isReachable() const { return isVisible() && isTrayAvailable(); }
    void setScheme(ColorScheme scheme);

    QSystemTrayIcon& trayIcon() { return *tray_; }

  private:
    void open();

    StatusMenu& menu_;
    std::unique_ptr<QSystemTrayIcon> tray_;
};

}  // namespace pellucine
