#pragma once

#include <QMenu>

#include "panels/GlanceCallbacks.h"
#include "panels/WindowCommands.h"

namespace pellucine {

// A context or application menu of the glance, in the scheme's colours; destructive entries
// are drawn in red. Its entries only send through the glance's callbacks.
class GlanceMenu : public QMenu {
    Q_OBJECT

  public:
    explicit GlanceMenu(QWidget* parent = nullptr);

    // The window menu of `window`: focus, minimize or restore, full screen, "Move & Resize",
    // close.
    static GlanceMenu* forWindow(const WindowDescriptor& window, const GlanceCallbacks& callbacks,
                                 QWidget* parent);
    // The application menu of the glance's application.
    static GlanceMenu* forApplication(int windowCount, qint32 processIdentifier,
                                      const GlanceCallbacks& callbacks, QWidget* parent);

    // The entry's text as Qt needs it: "&" doubled so that it is not a mnemonic.
    static QString entryText(const QString& title);
    static bool isDestructive(const QAction* action);

  protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    bool event(QEvent* event) override;

  private:
    QAction* addCommand(const WindowCommand& command, const WindowDescriptor& window,
                        const GlanceCallbacks& callbacks);
    void restyle();
};

}  // namespace pellucine
