#pragma once

#include <QFont>
#include <QImage>
#include <QList>
#include <QString>

#include "platform/x11/shell/X11DockLayout.h"
#include "platform/x11/shell/X11SwitcherLayout.h"

namespace pellucine {

// Draws the shell's switcher strip and Dock bar in the design system's dark palette: the ground
// framed by the card border and each application's icon in its cell. The strip puts the
// highlighted cell on the selection colour and the highlighted application's name below the
// row; the bar puts a running dot under each icon. Text and symbols need the GUI application;
// without one only the shapes are drawn. `icons` go in the order of the cells (a null one gets
// the generic icon); images are in pixels at `scale` pixels per point.
class X11ShellRenderer {
  public:
    X11ShellRenderer() = delete;

    static QImage renderSwitcher(const X11SwitcherLayout& layout, const QList<QImage>& icons,
                                 int selected, const QString& name, double scale);
    static QImage renderDock(const X11DockLayout& layout, const QList<QImage>& icons, double scale);
    // The picture of an application that offers none, `side` pixels square.
    static QImage genericIcon(int side);
    // The face of the switcher's application name, at its size in device-independent pixels.
    static QFont switcherLabelFont();
};

}  // namespace pellucine
