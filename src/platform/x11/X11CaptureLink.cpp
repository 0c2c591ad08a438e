#include "platform/x11/X11CaptureLink.h"

#include <xcb/composite.h>

#include <algorithm>

#include "platform/x11/X11Pixels.h"
#include "platform/x11/X11Reply.h"
#include "platform/x11/X11WindowCapture.h"

namespace pellucine {

namespace {

using Status = X11CaptureResult::Status;

// Buffers larger than this are given back after a capture instead of kept for the next one.
constexpr qint64 keptBufferBytes = qint64(16) << 20;
// Frames of windows pictured before; forgotten all at once beyond this many.
constexpr qsizetype maximumKnownFrames = 1024;

// A scratch picture gets one more row and column, copies of the edge, so that the next step's
// filter never reaches what an earlier capture left beyond it.
QSize scratchSize(const X11ReductionStep& step) {
    return step.size + QSize(1, 1);
}

// Whether every request succeeded. Called once a later request has been answered, so it costs
// no round trip; every cookie is checked so that xcb lets go of its error.
bool allSucceeded(xcb_connection_t* c, const QList<xcb_void_cookie_t>& checks) {
    bool all = true;
    for (const xcb_void_cookie_t cookie : checks) {
        const X11Reply<xcb_generic_error_t> error(xcb_request_check(c, cookie));
        all = all && !error;
    }
    return all;
}

}  // namespace

void X11CaptureLink::Buffers::shrink() {
    segment.shrinkTo(keptBufferBytes);
    target.shrinkTo(keptBufferBytes);
    for (X11RenderSurface& surface : scratch) {
        surface.shrinkTo(keptBufferBytes);
    }
}

std::shared_ptr<X11CaptureLink> X11CaptureLink::open(const QByteArray& displayName,
                                                     X11CaptureOptions options) {
    int screenNumber = 0;
    std::shared_ptr<X11CaptureLink> link(new X11CaptureLink(
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber),
        std::move(options)));
    xcb_connection_t* c = link->connection_.get();
    if (link->broken()) {
        return link;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i) {
        xcb_screen_next(&it);
    }
    if (it.rem == 0) {
        return link;
    }
    link->root_ = it.data->root;
    const xcb_query_extension_reply_t* composite = xcb_get_extension_data(c, &xcb_composite_id);
    if (composite == nullptr || composite->present == 0) {
        return link;
    }
    const auto version =
        takeReply(c, xcb_composite_query_version_reply, xcb_composite_query_version(c, 0, 4));
    if (!version || (version->major_version == 0 && version->minor_version < 2)) {
        return link;
    }
    const X11Reply<xcb_generic_error_t> error(
        xcb_request_check(c, xcb_composite_redirect_subwindows_checked(
                                 c, link->root_, XCB_COMPOSITE_REDIRECT_AUTOMATIC)));
    if (error) {
        return link;
    }
    if (link->options_.useRender) {
        link->formats_ = X11RenderFormats::query(c);
    }
    link->sharedMemory_ = link->options_.useSharedMemory && X11SharedSegment::isOffered(c);
    link->usable_ = true;
    return link;
}

std::unique_ptr<X11CaptureLink::Buffers> X11CaptureLink::takeBuffers() {
    {
        const std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            std::unique_ptr<Buffers> buffers = std::move(idle_.back());
            idle_.pop_back();
            return buffers;
        }
    }
    return std::make_unique<Buffers>(connection_.get(), root_,
                                     formats_ ? formats_->argb32() : XCB_NONE);
}

void X11CaptureLink::giveBack(std::unique_ptr<Buffers> buffers) {
    buffers->shrink();
    const std::lock_guard lock(mutex_);
    idle_.push_back(std::move(buffers));
}

X11SharedSegment* X11CaptureLink::segmentOf(Buffers& buffers) {
    if (!sharedMemory_) {
        return nullptr;
    }
    if (buffers.segment.refused()) {
        sharedMemory_ = false;
        return nullptr;
    }
    return &buffers.segment;
}

void X11CaptureLink::prepare(Buffers& buffers, const X11ReductionPlan& plan, QSize pixelSize,
                             QList<xcb_void_cookie_t>& checks) {
    buffers.target.reserve(pixelSize, checks);
    for (qsizetype i = 0; i + 1 < plan.steps.size(); ++i) {
        buffers.scratch[std::size_t(i % 2)].reserve(scratchSize(plan.steps[i]), checks);
    }
}

QImage X11CaptureLink::reduce(Buffers& buffers, xcb_pixmap_t pixmap, xcb_render_pictformat_t format,
                              const X11ReductionPlan& plan, QSize pixelSize,
                              QList<xcb_void_cookie_t>& checks) {
    xcb_connection_t* c = connection_.get();
    const xcb_render_picture_t source = xcb_generate_id(c);
    const uint32_t repeat = XCB_RENDER_REPEAT_PAD;
    checks.append(xcb_render_create_picture_checked(c, source, pixmap, format, XCB_RENDER_CP_REPEAT,
                                                    &repeat));
    xcb_render_picture_t from = source;
    for (qsizetype i = 0; i < plan.steps.size(); ++i) {
        const X11ReductionStep& step = plan.steps[i];
        const bool last = i + 1 == plan.steps.size();
        const X11RenderSurface& into = last ? buffers.target : buffers.scratch[std::size_t(i % 2)];
        const QSize drawn = last ? step.size : scratchSize(step);
        // The plan only holds steps that fit the fixed-point range.
        const xcb_render_transform_t transform{*toFixed(step.scaleX),
                                               0,
                                               *toFixed(step.offsetX),
                                               0,
                                               *toFixed(step.scaleY),
                                               *toFixed(step.offsetY),
                                               0,
                                               0,
                                               *toFixed(1)};
        xcb_render_set_picture_transform(c, from, transform);
        if (plan.smooth) {
            static constexpr char bilinear[] = "bilinear";
            xcb_render_set_picture_filter(c, from, sizeof(bilinear) - 1, bilinear, 0, nullptr);
        }
        QPoint at(0, 0);
        if (last) {
            at = plan.placed.topLeft();
            if (plan.placed.size() != pixelSize) {
                const xcb_rectangle_t all{0, 0, static_cast<uint16_t>(pixelSize.width()),
                                          static_cast<uint16_t>(pixelSize.height())};
                xcb_render_fill_rectangles(c, XCB_RENDER_PICT_OP_CLEAR, into.picture(),
                                           xcb_render_color_t{0, 0, 0, 0}, 1, &all);
            }
        }
        checks.append(xcb_render_composite_checked(
            c, XCB_RENDER_PICT_OP_SRC, from, XCB_NONE, into.picture(), 0, 0, 0, 0,
            static_cast<int16_t>(at.x()), static_cast<int16_t>(at.y()),
            static_cast<uint16_t>(drawn.width()), static_cast<uint16_t>(drawn.height())));
        from = into.picture();
    }
    xcb_render_free_picture(c, source);
    return readPixels(c, segmentOf(buffers), buffers.target.pixmap(), pixelSize,
                      QImage::Format_ARGB32_Premultiplied, 32, /*borrow=*/false);
}

X11CaptureResult X11CaptureLink::capture(xcb_window_t window, QSize pixelSize, bool scalesToFit,
                                         QMargins shadow) {
    xcb_connection_t* c = connection_.get();
    if (const std::optional<X11WindowFrame> known = knownFrame(window)) {
        // The frame found last time is pictured at once and the questions about it travel with
        // the picture's requests: one round trip. The picture counts only if the frame is as
        // it was.
        X11FrameCheck check(c, window, *known);
        X11CaptureResult result = picture(window, *known, pixelSize, scalesToFit, shadow);
        const Status status = check.answer();
        if (status == Status::captured) {
            return result;
        }
        forgetFrame(window);
        if (status != Status::failed) {
            return {status, {}};
        }
    }
    const X11FrameLookup found = lookUpFrame(c, window);
    if (found.status != Status::captured) {
        return {found.status, {}};
    }
    if (found.direct) {
        rememberFrame(window, found.frame);
    }
    return picture(window, found.frame, pixelSize, scalesToFit, shadow);
}

std::optional<X11WindowFrame> X11CaptureLink::knownFrame(xcb_window_t window) {
    const std::lock_guard lock(mutex_);
    const auto it = frames_.constFind(window);
    return it == frames_.cend() ? std::nullopt : std::optional(*it);
}

void X11CaptureLink::rememberFrame(xcb_window_t window, const X11WindowFrame& frame) {
    const std::lock_guard lock(mutex_);
    if (frames_.size() >= maximumKnownFrames) {
        frames_.clear();
    }
    frames_.insert(window, frame);
}

void X11CaptureLink::forgetFrame(xcb_window_t window) {
    const std::lock_guard lock(mutex_);
    frames_.remove(window);
}

X11CaptureResult X11CaptureLink::picture(xcb_window_t window, const X11WindowFrame& frame,
                                         QSize pixelSize, bool scalesToFit, QMargins shadow) {
    xcb_connection_t* c = connection_.get();
    const std::optional<xcb_render_pictformat_t> format =
        formats_ ? formats_->forVisual(frame.visual) : std::nullopt;
    // In the pixmap, which holds the border too.
    const QRect shown =
        pictured(frame.content, frame.client, shadow).translated(frame.border, frame.border);
    std::optional<X11ReductionPlan> plan;
    if (format) {
        plan = planReduction(shown, pixelSize, scalesToFit, options_.maximumPixels);
        if (!plan) {
            return {Status::tooLarge, {}};
        }
    } else {
        const QSize whole = frame.whole();
        if (!pictureBytes(whole, options_.maximumPixels) ||
            !pictureBytes(pixelSize, options_.maximumPixels) || whole.width() > maximumPixmapSide ||
            whole.height() > maximumPixmapSide) {
            return {Status::tooLarge, {}};
        }
        if (bitsPerPixel(c, frame.depth) != 32 || frame.depth < 24) {
            return {Status::failed, {}};
        }
    }
    if (options_.beforeReading) {
        options_.beforeReading(frame.window);
    }

    std::unique_ptr<Buffers> buffers = takeBuffers();
    QList<xcb_void_cookie_t> surfaceChecks;
    if (plan) {
        prepare(*buffers, *plan, pixelSize, surfaceChecks);
    }
    // The name comes first: every later request depends on it.
    QList<xcb_void_cookie_t> checks;
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    checks.append(xcb_composite_name_window_pixmap_checked(c, frame.window, pixmap));
    QImage pixels = plan ? reduce(*buffers, pixmap, *format, *plan, pixelSize, checks)
                         : readPixels(c, segmentOf(*buffers), pixmap, frame.whole(),
                                      frame.depth == 32 ? QImage::Format_ARGB32_Premultiplied
                                                        : QImage::Format_RGB32,
                                      frame.depth, /*borrow=*/true);
    xcb_free_pixmap(c, pixmap);
    const bool surfacesMade = allSucceeded(c, surfaceChecks);
    const bool named = allSucceeded(c, checks.first(1));
    const bool drawn = allSucceeded(c, checks.sliced(1));
    // Errors of requests nobody waits for (freeing what was never made) arrive as events.
    while (X11Reply<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
    }

    X11CaptureResult result{Status::failed, {}};
    if (!surfacesMade) {
        // The server is short of memory: start afresh next time.
        buffers.reset();
    } else if (!named) {
        result.status = whyNoPixmap(c, window);
    } else if (drawn && !pixels.isNull()) {
        if (!plan) {
            if (shown != QRect(QPoint(0, 0), frame.whole())) {
                // The border is the window manager's, the shadow no part of the window.
                pixels = pixels.copy(shown);
            }
            pixels = pixels.isNull() ? QImage()
                     : scalesToFit   ? fitInto(pixels, pixelSize)
                                     : cropInto(pixels, pixelSize);
        }
        if (!pixels.isNull()) {
            result = {Status::captured, std::move(pixels)};
        }
    }
    if (buffers) {
        giveBack(std::move(buffers));
    }
    return result;
}

}  // namespace pellucine
