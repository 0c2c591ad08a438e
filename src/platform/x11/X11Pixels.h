#pragma once

#include <xcb/xcb.h>

#include <QImage>
#include <QSize>

namespace pellucine {

class X11SharedSegment;

// Bits per pixel of the server's pixmaps of `depth`; 0 for a depth it does not list.
uint8_t bitsPerPixel(xcb_connection_t* c, uint8_t depth);

// The top-left `size` of a 32-bit `drawable` of `depth`, in the host's byte order. Through
// `segment` when there is one: copied out, or with `borrow` a view of the segment valid until
// its next use. Else the reply's own buffer becomes the picture's. Null when the server or
// memory refused.
QImage readPixels(xcb_connection_t* c, X11SharedSegment* segment, xcb_drawable_t drawable,
                  QSize size, QImage::Format format, uint8_t depth, bool borrow);

}  // namespace pellucine
