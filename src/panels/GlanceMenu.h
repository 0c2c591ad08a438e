#pragma once

#include <QMenu>
#include <functional>

#include "panels/GlanceCallbacks.h"
#include "panels/WindowCommands.h"

namespace pellucine {

// A context or application menu of the glance, in the scheme's colours; destructive entries
// are drawn in red. Its entries only send through the glance's callbacks.
class GlanceMenu : public QMenu {
    Q_OBJECT

  public:
    explicit GlanceMenu(QWidget* parent = nullptr);

    // The window menu of the window `window` answers with: focus, minimize or restore, full
    // screen, "Move & Resize", close. Every entry acts on the window as `window` then answers.
    static GlanceMenu* forWindow(std::function<WindowDescriptor()> window,
                                 const GlanceCallbacks& callbacks, QWidget* parent);
    // The application menu of the glance's application.
    static GlanceMenu* forApplication(int windowCount, qint32 processIdentifier,
                                      const GlanceCallbacks& callbacks, QWidget* parent);

    // The entry's text as Qt needs it: "&" doubled so that it is not a mnemonic.
    static QString entryText(const QString& title);
    static bool isDestructive(const QAction* action);

    // A window menu's entries take the texts of the window as it is now ("Restore" once it is
    // minimized, …); other menus are left as they are.
    void followWindow();
    // An application menu's entries take the texts for `windowCount` windows ("Close All 3
    // Windows", …).
    void followApplication(int windowCount);

  protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    bool event(QEvent* event) override;
    // Does nothing. Its first press was a press already: a quick second right click on a tile
    // comes here as the press that opened this menu, and would close it at once.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QAction* addCommand(const WindowCommand& command, const GlanceCallbacks& callbacks);
    void restyle();

    // The window a window menu stands for; empty for an application menu.
    std::function<WindowDescriptor()> window_;
};

}  // namespace pellucine
