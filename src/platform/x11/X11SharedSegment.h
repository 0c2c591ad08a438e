#pragma once

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <QtGlobal>
#include <cstddef>

namespace pellucine {

// Memory shared with the X server through MIT-SHM (an anonymous memory file handed over the
// connection), into which the server writes images. Grows on demand and keeps its size, so
// captures reuse it. Used by one thread at a time.
class X11SharedSegment {
  public:
    explicit X11SharedSegment(xcb_connection_t* connection) : connection_(connection) {}
    ~X11SharedSegment();

    X11SharedSegment(const X11SharedSegment&) = delete;
    X11SharedSegment& operator=(const X11SharedSegment&) = delete;

    // Whether the server can share memory with this connection: MIT-SHM 1.2 or later (memory
    // handed over as a file) on a local socket.
    static bool isOffered(xcb_connection_t* connection);

    // Makes the segment hold at least `bytes`; false when memory or the server refused, and
    // then the segment is empty.
    bool reserve(qint64 bytes);
    // Whether the server refused to share memory, so asking again is pointless.
    bool refused() const { return refused_; }
    // Gives the memory back when it holds more than `bytes`.
    void shrinkTo(qint64 bytes);

    xcb_shm_seg_t id() const { return segment_; }
    uchar* data() const { return data_; }
    qint64 size() const { return size_; }

  private:
    void release();

    xcb_connection_t* connection_;
    xcb_shm_seg_t segment_ = XCB_NONE;
    uchar* data_ = nullptr;
    qint64 size_ = 0;
    bool refused_ = false;
};

}  // namespace pellucine
