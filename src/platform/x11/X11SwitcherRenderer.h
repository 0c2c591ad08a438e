#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include "platform/x11/X11SwitcherLayout.h"

namespace pellucine {

// Draws the switcher strip in the design system's dark palette: the ground framed by the card
// border, each application's icon in its cell, the highlighted cell on the selection colour and
// the highlighted application's name below the row. Text and symbols need the GUI application;
// without one only the shapes are drawn.
class X11SwitcherRenderer {
  public:
    X11SwitcherRenderer() = delete;

    // An image of the strip's size in pixels; `icons` in the order of the cells (a null one
    // gets the generic icon).
    static QImage render(const X11SwitcherLayout& layout, const QList<QImage>& icons, int selected,
                         const QString& name, double scale);
    // The picture of an application that offers none, `side` pixels square.
    static QImage genericIcon(int side);
};

}  // namespace pellucine
