#pragma once

#include <QImage>
#include <QList>

namespace pellucine {

// The pictures a window offers in _NET_WM_ICON: a width, a height and that many ARGB pixels,
// row by row, for each size it has.
class X11WindowIcon {
  public:
    X11WindowIcon() = delete;

    // Sizes above this are taken for damage and end the list.
    static constexpr int maximumSide = 1024;

    // The picture closest to `side` pixels: the smallest at least that large, else the largest.
    // A picture whose size is zero, too large or longer than the data that is left ends the
    // list; the pictures before it still count. Null when none is whole.
    static QImage choose(const QList<quint32>& data, int side);
};

}  // namespace pellucine
