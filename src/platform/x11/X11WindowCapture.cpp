#include "platform/x11/X11WindowCapture.h"

#include <xcb/composite.h>

#include <QHash>
#include <QtConcurrent/QtConcurrentRun>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

#include "platform/x11/X11RenderFormats.h"
#include "platform/x11/X11RenderSurface.h"
#include "platform/x11/X11Reply.h"
#include "platform/x11/X11SharedSegment.h"

namespace pellucine {

namespace {

using Status = X11CaptureResult::Status;

// Buffers larger than this are given back after a capture instead of kept for the next one.
constexpr qint64 keptBufferBytes = qint64(16) << 20;
// Frames of windows pictured before; forgotten all at once beyond this many.
constexpr qsizetype maximumKnownFrames = 1024;

// The top-level window (a child of the root) holding the window asked for: the window
// manager's frame when it reparents, else the window itself. Composite keeps its pixmap.
struct Frame {
    xcb_window_t window = XCB_NONE;
    xcb_visualid_t visual = XCB_NONE;
    uint8_t depth = 0;
    QSize content;
    int border = 0;

    QSize whole() const { return content + QSize(2 * border, 2 * border); }
};

struct FrameLookup {
    Status status = Status::failed;
    Frame frame;
    // The frame is the window or its parent, which a frame check can confirm.
    bool direct = false;
};

// One round trip per level of the window tree: two for a reparented client.
FrameLookup findFrame(xcb_connection_t* c, xcb_window_t window) {
    xcb_window_t current = window;
    for (int level = 0; level < 16; ++level) {
        const auto treeCookie = xcb_query_tree(c, current);
        const auto attributesCookie = xcb_get_window_attributes(c, current);
        const auto geometryCookie = xcb_get_geometry(c, current);
        const auto tree = takeReply(c, xcb_query_tree_reply, treeCookie);
        const auto attributes = takeReply(c, xcb_get_window_attributes_reply, attributesCookie);
        const auto geometry = takeReply(c, xcb_get_geometry_reply, geometryCookie);
        if (!tree || !attributes || !geometry) {
            return {Status::windowGone, {}};
        }
        // Viewable means mapped with every ancestor mapped.
        if (current == window && attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
            return {Status::notViewable, {}};
        }
        if (tree->parent == tree->root || tree->parent == XCB_NONE) {
            return {Status::captured,
                    {current, attributes->visual, geometry->depth,
                     QSize(geometry->width, geometry->height), geometry->border_width},
                    level <= 1};
        }
        current = tree->parent;
    }
    return {Status::windowGone, {}};
}

// The questions that tell whether a frame found earlier still holds the window as it did.
struct FrameCheck {
    xcb_query_tree_cookie_t windowTree;
    xcb_get_window_attributes_cookie_t windowAttributes;
    std::optional<xcb_query_tree_cookie_t> frameTree;
    xcb_get_geometry_cookie_t frameGeometry;
};

FrameCheck askAboutFrame(xcb_connection_t* c, xcb_window_t window, const Frame& frame) {
    FrameCheck check{xcb_query_tree(c, window), xcb_get_window_attributes(c, window), std::nullopt,
                     xcb_get_geometry(c, frame.window)};
    if (frame.window != window) {
        check.frameTree = xcb_query_tree(c, frame.window);
    }
    return check;
}

// captured when the frame is as it was; windowGone or notViewable for the window; failed when
// the frame changed and has to be looked up again.
Status answerAboutFrame(xcb_connection_t* c, const FrameCheck& check, xcb_window_t window,
                        const Frame& frame) {
    const auto tree = takeReply(c, xcb_query_tree_reply, check.windowTree);
    const auto attributes = takeReply(c, xcb_get_window_attributes_reply, check.windowAttributes);
    const auto frameTree = check.frameTree ? takeReply(c, xcb_query_tree_reply, *check.frameTree)
                                           : X11Reply<xcb_query_tree_reply_t>();
    const auto geometry = takeReply(c, xcb_get_geometry_reply, check.frameGeometry);
    if (!tree || !attributes) {
        return Status::windowGone;
    }
    if (attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
        return Status::notViewable;
    }
    const bool topLevel = frame.window == window ? tree->parent == tree->root
                                                 : tree->parent == frame.window && frameTree &&
                                                       frameTree->parent == frameTree->root;
    const bool same = geometry && geometry->depth == frame.depth &&
                      QSize(geometry->width, geometry->height) == frame.content &&
                      geometry->border_width == frame.border;
    return topLevel && same ? Status::captured : Status::failed;
}

// Why Composite had no pixmap of the window's frame: the window went away, or it was unmapped.
Status whyNoPixmap(xcb_connection_t* c, xcb_window_t window) {
    const auto attributes =
        takeReply(c, xcb_get_window_attributes_reply, xcb_get_window_attributes(c, window));
    return attributes ? Status::notViewable : Status::windowGone;
}

// Whether each request succeeded. Called once a later request has been answered, so it costs
// no round trip; every cookie is checked so that xcb lets go of its error.
std::vector<bool> succeeded(xcb_connection_t* c, const QList<xcb_void_cookie_t>& checks) {
    std::vector<bool> results;
    results.reserve(static_cast<std::size_t>(checks.size()));
    for (const xcb_void_cookie_t cookie : checks) {
        const X11Reply<xcb_generic_error_t> error(xcb_request_check(c, cookie));
        results.push_back(!error);
    }
    return results;
}

uint8_t bitsPerPixel(xcb_connection_t* c, uint8_t depth) {
    auto it = xcb_setup_pixmap_formats_iterator(xcb_get_setup(c));
    for (; it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == depth) {
            return it.data->bits_per_pixel;
        }
    }
    return 0;
}

// Pixels are 0xAARRGGBB in the server's byte order.
void toHostByteOrder(xcb_connection_t* c, QImage& image) {
    const bool serverBigEndian = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    if (serverBigEndian == (QSysInfo::ByteOrder == QSysInfo::BigEndian)) {
        return;
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = qbswap(line[x]);
        }
    }
}

// The top-left `size` of a 32-bit `drawable` of `depth`. Through `segment` when there is one:
// copied out, or with `borrow` a view of the segment valid until its next use. Else the
// reply's own buffer becomes the picture's. Null when the server or memory refused.
QImage readPixels(xcb_connection_t* c, X11SharedSegment* segment, xcb_drawable_t drawable,
                  QSize size, QImage::Format format, uint8_t depth, bool borrow) {
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    const auto width = static_cast<uint16_t>(size.width());
    const auto height = static_cast<uint16_t>(size.height());
    const qsizetype rowBytes = qsizetype(width) * 4;
    QImage image;
    if (segment != nullptr && segment->reserve(bytes)) {
        const auto reply =
            takeReply(c, xcb_shm_get_image_reply,
                      xcb_shm_get_image(c, drawable, 0, 0, width, height, ~0u,
                                        XCB_IMAGE_FORMAT_Z_PIXMAP, segment->id(), 0));
        if (!reply || reply->depth != depth) {
            return {};
        }
        if (borrow) {
            image = QImage(segment->data(), width, height, rowBytes, format);
        } else {
            image = QImage(size, format);
            if (image.isNull()) {
                return {};
            }
            for (int y = 0; y < height; ++y) {
                std::memcpy(image.scanLine(y), segment->data() + y * rowBytes,
                            std::size_t(rowBytes));
            }
        }
    } else {
        X11Reply<xcb_get_image_reply_t> reply = takeReply(
            c, xcb_get_image_reply,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, 0, 0, width, height, ~0u));
        if (!reply || reply->depth != depth || qint64(reply->length) * 4 < bytes) {
            return {};
        }
        image = QImage(
            xcb_get_image_data(reply.get()), width, height, rowBytes, format,
            [](void* r) { std::free(r); }, reply.get());
        if (image.isNull()) {
            return {};
        }
        reply.release();
    }
    toHostByteOrder(c, image);
    return image;
}

}  // namespace

QImage fitInto(const QImage& source, QSize pixelSize) {
    pixelSize = pixelSize.expandedTo(QSize(1, 1));
    QImage scaled = source.scaled(pixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Never hand out the caller's pixels, which may be borrowed.
    if (!scaled.isNull() && scaled.constBits() == source.constBits()) {
        scaled = scaled.copy();
    }
    if (scaled.isNull() || scaled.size() == pixelSize) {
        return scaled;
    }
    QImage result(pixelSize, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull()) {
        return {};
    }
    result.fill(Qt::transparent);
    const int left = (pixelSize.width() - scaled.width()) / 2;
    const int top = (pixelSize.height() - scaled.height()) / 2;
    const int rowBytes = std::min(scaled.width(), pixelSize.width() - left) * 4;
    for (int y = 0; y < scaled.height() && top + y < pixelSize.height(); ++y) {
        std::memcpy(result.scanLine(top + y) + left * 4, scaled.constScanLine(y),
                    static_cast<std::size_t>(rowBytes));
    }
    return result;
}

QImage cropInto(const QImage& source, QSize pixelSize) {
    pixelSize = pixelSize.expandedTo(QSize(1, 1));
    const QImage converted = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage result(pixelSize, QImage::Format_ARGB32_Premultiplied);
    if (converted.isNull() || result.isNull()) {
        return {};
    }
    result.fill(Qt::transparent);
    const int rows = std::min(converted.height(), pixelSize.height());
    const int rowBytes = std::min(converted.width(), pixelSize.width()) * 4;
    for (int y = 0; y < rows; ++y) {
        std::memcpy(result.scanLine(y), converted.constScanLine(y),
                    static_cast<std::size_t>(rowBytes));
    }
    return result;
}

// The worker connection and what captures keep on the server between them. Several threads
// capture over it at once, each with buffers of its own.
class X11WindowCapture::Link {
  public:
    // None when no server answers; a link that cannot capture when the server lacks Composite.
    static std::shared_ptr<Link> open(const QByteArray& displayName, const Options& options);

    ~Link() { idle_.clear(); }

    bool broken() const { return xcb_connection_has_error(connection_.get()) != 0; }
    bool usable() const { return usable_; }
    X11CaptureMethods methods() const { return {formats_.has_value(), sharedMemory_.load()}; }

    X11CaptureResult capture(xcb_window_t window, QSize pixelSize, bool scalesToFit);

    // The frame of the window found by an earlier capture.
    std::optional<Frame> knownFrame(xcb_window_t window);
    void rememberFrame(xcb_window_t window, const Frame& frame);
    void forgetFrame(xcb_window_t window);

  private:
    struct Disconnect {
        void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
    };

    // What one capture draws into and reads through.
    struct Buffers {
        Buffers(xcb_connection_t* c, xcb_window_t root, xcb_render_pictformat_t argb32)
            : segment(c),
              target(c, root, argb32),
              scratch{{{c, root, argb32}, {c, root, argb32}}} {}

        void shrink() {
            segment.shrinkTo(keptBufferBytes);
            target.shrinkTo(keptBufferBytes);
            for (X11RenderSurface& surface : scratch) {
                surface.shrinkTo(keptBufferBytes);
            }
        }

        X11SharedSegment segment;
        X11RenderSurface target;
        std::array<X11RenderSurface, 2> scratch;
    };

    Link(xcb_connection_t* connection, Options options)
        : connection_(connection), options_(std::move(options)) {}

    // The picture of `window`, held by `frame`.
    X11CaptureResult picture(xcb_window_t window, const Frame& frame, QSize pixelSize,
                             bool scalesToFit);

    std::unique_ptr<Buffers> takeBuffers();
    void giveBack(std::unique_ptr<Buffers> buffers);
    X11SharedSegment* segmentOf(Buffers& buffers);

    // Draws the pixmap reduced by `plan` into the buffers' target and reads it back.
    QImage reduce(Buffers& buffers, xcb_pixmap_t pixmap, xcb_render_pictformat_t format,
                  const X11ReductionPlan& plan, QSize pixelSize, QList<xcb_void_cookie_t>& checks);

    std::unique_ptr<xcb_connection_t, Disconnect> connection_;
    Options options_;
    xcb_window_t root_ = XCB_NONE;
    bool usable_ = false;
    std::optional<X11RenderFormats> formats_;
    std::atomic<bool> sharedMemory_ = false;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Buffers>> idle_;
    QHash<xcb_window_t, Frame> frames_;
};

std::shared_ptr<X11WindowCapture::Link> X11WindowCapture::Link::open(const QByteArray& displayName,
                                                                     const Options& options) {
    int screenNumber = 0;
    std::shared_ptr<Link> link(new Link(
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber),
        options));
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
    if (options.useRender) {
        link->formats_ = X11RenderFormats::query(c);
    }
    link->sharedMemory_ = options.useSharedMemory && X11SharedSegment::isOffered(c);
    link->usable_ = true;
    return link;
}

std::unique_ptr<X11WindowCapture::Link::Buffers> X11WindowCapture::Link::takeBuffers() {
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

void X11WindowCapture::Link::giveBack(std::unique_ptr<Buffers> buffers) {
    buffers->shrink();
    const std::lock_guard lock(mutex_);
    idle_.push_back(std::move(buffers));
}

X11SharedSegment* X11WindowCapture::Link::segmentOf(Buffers& buffers) {
    if (!sharedMemory_) {
        return nullptr;
    }
    if (buffers.segment.refused()) {
        sharedMemory_ = false;
        return nullptr;
    }
    return &buffers.segment;
}

QImage X11WindowCapture::Link::reduce(Buffers& buffers, xcb_pixmap_t pixmap,
                                      xcb_render_pictformat_t format, const X11ReductionPlan& plan,
                                      QSize pixelSize, QList<xcb_void_cookie_t>& checks) {
    xcb_connection_t* c = connection_.get();
    const xcb_render_picture_t source = xcb_generate_id(c);
    const uint32_t repeat = XCB_RENDER_REPEAT_PAD;
    checks.append(xcb_render_create_picture_checked(c, source, pixmap, format, XCB_RENDER_CP_REPEAT,
                                                    &repeat));
    buffers.target.reserve(pixelSize, checks);
    xcb_render_picture_t from = source;
    for (qsizetype i = 0; i < plan.steps.size(); ++i) {
        const X11ReductionStep& step = plan.steps[i];
        const bool last = i + 1 == plan.steps.size();
        X11RenderSurface& into = last ? buffers.target : buffers.scratch[std::size_t(i % 2)];
        // A scratch picture gets one more row and column, copies of the edge, so that the
        // next step's filter never reaches what an earlier capture left beyond it.
        const QSize drawn = last ? step.size : step.size + QSize(1, 1);
        if (!last) {
            into.reserve(drawn, checks);
        }
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

X11CaptureResult X11WindowCapture::Link::capture(xcb_window_t window, QSize pixelSize,
                                                 bool scalesToFit) {
    xcb_connection_t* c = connection_.get();
    if (const std::optional<Frame> known = knownFrame(window)) {
        // The frame found last time is pictured at once and the questions about it travel with
        // the picture's requests: one round trip. The picture counts only if the frame is as
        // it was.
        const FrameCheck check = askAboutFrame(c, window, *known);
        X11CaptureResult result = picture(window, *known, pixelSize, scalesToFit);
        const Status status = answerAboutFrame(c, check, window, *known);
        if (status == Status::captured) {
            return result;
        }
        forgetFrame(window);
        if (status != Status::failed) {
            return {status, {}};
        }
    }
    const FrameLookup found = findFrame(c, window);
    if (found.status != Status::captured) {
        return {found.status, {}};
    }
    if (found.direct) {
        rememberFrame(window, found.frame);
    }
    return picture(window, found.frame, pixelSize, scalesToFit);
}

std::optional<Frame> X11WindowCapture::Link::knownFrame(xcb_window_t window) {
    const std::lock_guard lock(mutex_);
    const auto it = frames_.constFind(window);
    return it == frames_.cend() ? std::nullopt : std::optional(*it);
}

void X11WindowCapture::Link::rememberFrame(xcb_window_t window, const Frame& frame) {
    const std::lock_guard lock(mutex_);
    if (frames_.size() >= maximumKnownFrames) {
        frames_.clear();
    }
    frames_.insert(window, frame);
}

void X11WindowCapture::Link::forgetFrame(xcb_window_t window) {
    const std::lock_guard lock(mutex_);
    frames_.remove(window);
}

X11CaptureResult X11WindowCapture::Link::picture(xcb_window_t window, const Frame& frame,
                                                 QSize pixelSize, bool scalesToFit) {
    xcb_connection_t* c = connection_.get();
    const std::optional<xcb_render_pictformat_t> format =
        formats_ ? formats_->forVisual(frame.visual) : std::nullopt;
    std::optional<X11ReductionPlan> plan;
    if (format) {
        plan = planReduction(frame.content, frame.border, pixelSize, scalesToFit,
                             options_.maximumPixels);
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
    QList<xcb_void_cookie_t> checks;
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    checks.append(xcb_composite_name_window_pixmap_checked(c, frame.window, pixmap));
    QImage pixels = plan ? reduce(*buffers, pixmap, *format, *plan, pixelSize, checks)
                         : readPixels(c, segmentOf(*buffers), pixmap, frame.whole(),
                                      frame.depth == 32 ? QImage::Format_ARGB32_Premultiplied
                                                        : QImage::Format_RGB32,
                                      frame.depth, /*borrow=*/true);
    xcb_free_pixmap(c, pixmap);
    const std::vector<bool> results = succeeded(c, checks);
    // Errors of requests nobody waits for (freeing what was never made) arrive as events.
    while (X11Reply<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
    }

    X11CaptureResult result{Status::failed, {}};
    if (!results.front()) {
        result.status = whyNoPixmap(c, window);
    } else if (std::find(results.begin(), results.end(), false) != results.end()) {
        // A scratch picture was refused: start afresh next time.
        buffers.reset();
    } else if (!pixels.isNull()) {
        if (!plan) {
            if (frame.border > 0) {
                // The border is the window manager's, not the window's.
                pixels = pixels.copy(QRect(QPoint(frame.border, frame.border), frame.content));
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

X11WindowCapture::X11WindowCapture(QByteArray displayName, Options options)
    : displayName_(std::move(displayName)), options_(std::move(options)) {
    pool_.setMaxThreadCount(2);
}

X11WindowCapture::~X11WindowCapture() {
    pool_.waitForDone();
}

QFuture<X11CaptureResult> X11WindowCapture::capture(xcb_window_t window, QSize pixelSize,
                                                    bool scalesToFit) {
    return QtConcurrent::run(&pool_, [this, window, pixelSize, scalesToFit] {
        return captureNow(window, pixelSize, scalesToFit);
    });
}

std::shared_ptr<X11WindowCapture::Link> X11WindowCapture::link() {
    const std::lock_guard lock(mutex_);
    // A link without Composite stays: nothing more to try. A broken one is replaced.
    if (!link_ || link_->broken()) {
        link_ = Link::open(displayName_, options_);
    }
    return link_->usable() && !link_->broken() ? link_ : nullptr;
}

std::optional<X11CaptureMethods> X11WindowCapture::methods() {
    const std::shared_ptr<Link> link = this->link();
    return link ? std::optional(link->methods()) : std::nullopt;
}

X11CaptureResult X11WindowCapture::captureNow(xcb_window_t window, QSize pixelSize,
                                              bool scalesToFit) {
    try {
        const std::shared_ptr<Link> link = this->link();
        if (!link) {
            return {Status::failed, {}};
        }
        return link->capture(window, pixelSize.expandedTo(QSize(1, 1)), scalesToFit);
    } catch (const std::bad_alloc&) {
        return {Status::failed, {}};
    }
}

}  // namespace pellucine
