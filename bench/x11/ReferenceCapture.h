#pragma once

#include <xcb/xcb.h>

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace pellucine {

// The least a program can do to picture a window, measured beside the program's own capture:
// Composite names the frame's pixmap, one GetImage reads it, Qt scales it. It is handed the
// frame and its size, and checks nothing.
class ReferenceCapture {
  public:
    explicit ReferenceCapture(const QByteArray& displayName);
    ~ReferenceCapture();

    ReferenceCapture(const ReferenceCapture&) = delete;
    ReferenceCapture& operator=(const ReferenceCapture&) = delete;

    bool isConnected() const { return connection_ != nullptr; }
    QImage capture(xcb_window_t frame, QSize frameSize, QSize pixelSize);

  private:
    xcb_connection_t* connection_ = nullptr;
};

}  // namespace pellucine
