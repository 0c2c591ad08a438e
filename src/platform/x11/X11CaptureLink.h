#pragma once

#include <xcb/render.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMargins>
#include <QSize>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/x11/X11CaptureOptions.h"
#include "platform/x11/X11CaptureResult.h"
#include "platform/x11/X11RenderFormats.h"
#include "platform/x11/X11RenderSurface.h"
#include "platform/x11/X11SharedSegment.h"
#include "platform/x11/X11WindowFrame.h"

namespace pellucine {

// A connection of its own over which window pictures are taken, with the top-level windows
// redirected, and what captures keep on the server between them: buffers for each capture at a
// time and the frames of windows pictured before. Several threads capture over it at once.
class X11CaptureLink {
  public:
    // A broken link when no server answers; one that cannot capture when the server lacks
    // Composite.
    static std::shared_ptr<X11CaptureLink> open(const QByteArray& displayName,
                                                X11CaptureOptions options);

    X11CaptureLink(const X11CaptureLink&) = delete;
    X11CaptureLink& operator=(const X11CaptureLink&) = delete;

    bool broken() const { return xcb_connection_has_error(connection_.get()) != 0; }
    bool usable() const { return usable_; }
    X11CaptureMethods methods() const { return {formats_.has_value(), sharedMemory_.load()}; }

    // The picture of `window`, exactly `pixelSize` (each side at least 1), without the client's
    // `shadow` margins.
    X11CaptureResult capture(xcb_window_t window, QSize pixelSize, bool scalesToFit,
                             QMargins shadow);

  private:
    struct Disconnect {
        void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
    };

    // What one capture draws into and reads through; kept for the next.
    struct Buffers {
        Buffers(xcb_connection_t* c, xcb_window_t root, xcb_render_pictformat_t argb32)
            : segment(c),
              target(c, root, argb32),
              scratch{{{c, root, argb32}, {c, root, argb32}}} {}

        // Gives back what is larger than captures usually need.
        void shrink();

        X11SharedSegment segment;
        X11RenderSurface target;
        std::array<X11RenderSurface, 2> scratch;
    };

    X11CaptureLink(xcb_connection_t* connection, X11CaptureOptions options)
        : connection_(connection), options_(std::move(options)) {}

    // The picture of `window`, held by `frame`.
    X11CaptureResult picture(xcb_window_t window, const X11WindowFrame& frame, QSize pixelSize,
                             bool scalesToFit, QMargins shadow);
    // Makes the buffers' surfaces large enough for `plan`.
    void prepare(Buffers& buffers, const X11ReductionPlan& plan, QSize pixelSize,
                 QList<xcb_void_cookie_t>& checks);
    // Draws the pixmap reduced by `plan` into the buffers' target and reads it back.
    QImage reduce(Buffers& buffers, xcb_pixmap_t pixmap, xcb_render_pictformat_t format,
                  const X11ReductionPlan& plan, QSize pixelSize, QList<xcb_void_cookie_t>& checks);

    std::unique_ptr<Buffers> takeBuffers();
    void giveBack(std::unique_ptr<Buffers> buffers);
    X11SharedSegment* segmentOf(Buffers& buffers);

    // The frame of the window found by an earlier capture.
    std::optional<X11WindowFrame> knownFrame(xcb_window_t window);
    void rememberFrame(xcb_window_t window, const X11WindowFrame& frame);
    void forgetFrame(xcb_window_t window);

    std::unique_ptr<xcb_connection_t, Disconnect> connection_;
    X11CaptureOptions options_;
    xcb_window_t root_ = XCB_NONE;
    bool usable_ = false;
    std::optional<X11RenderFormats> formats_;
    std::atomic<bool> sharedMemory_ = false;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Buffers>> idle_;
    QHash<xcb_window_t, X11WindowFrame> frames_;
};

}  // namespace pellucine
