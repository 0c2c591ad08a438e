#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QtGlobal>
#include <optional>

namespace pellucine {

// The most pixels a window or a picture may have to be captured: an 8K screen (7680 x 4320) and
// a little more. At four bytes a pixel that is 128 MiB.
inline constexpr qint64 maximumCapturePixels = qint64(1) << 25;
// The X server refuses pixmaps wider or taller than this.
inline constexpr int maximumPixmapSide = 32767;

// The bytes of a 32-bit picture of `size`, computed in 64 bits; none when a side is below 1 or
// the picture has more than `maximumPixels` pixels.
std::optional<qint64> pictureBytes(QSize size, qint64 maximumPixels = maximumCapturePixels);

// One drawing of a reduction: the top-left `size` of the picture it draws into, each drawn
// pixel sampled from the source at `offset` + `scale` x its position.
struct X11ReductionStep {
    QSize size;
    double scaleX = 1;
    double scaleY = 1;
    double offsetX = 0;
    double offsetY = 0;

    friend bool operator==(const X11ReductionStep&, const X11ReductionStep&) = default;
};

// How a window's pixmap becomes a picture of the asked size on the server. Every step but the
// last draws into a scratch picture and halves the axes that are still more than twice too
// large (each pixel then averages a 2 x 2 block, so a bilinear filter loses no detail); the last
// draws into `placed` of the picture with a scale of at most 2. Outside `placed` the picture is
// transparent.
struct X11ReductionPlan {
    QRect placed;
    QList<X11ReductionStep> steps;
    // Bilinear sampling; false for a copy at the window's own size.
    bool smooth = true;
};

// What of a frame's content (`content` pixels) is pictured: all of it, or for a client at
// `client` in it that draws a shadow of its own, the client less its `shadow` margins. All of it
// when what is left would be empty or reach outside the content.
QRect pictured(QSize content, const QRect& client, QMargins shadow);

// The plan for a window of `content` pixels inside a border of `border` pixels, pictured at
// `target`: fitted and centred keeping its aspect, or at its own size from the top-left corner
// and cut. None when a side of the content or the target is below 1, the target is wider or
// taller than a pixmap may be, either has more than `maximumPixels` pixels, or a step cannot be
// put as a fixed-point transform.
std::optional<X11ReductionPlan> planReduction(QSize content, int border, QSize target,
                                              bool scalesToFit,
                                              qint64 maximumPixels = maximumCapturePixels);
// The same for the part `source` of the pixmap: its size stands for the content, its corner for
// the border's.
std::optional<X11ReductionPlan> planReduction(const QRect& source, QSize target, bool scalesToFit,
                                              qint64 maximumPixels = maximumCapturePixels);

// A coordinate as the RENDER transform holds it (16.16 fixed point); none outside its range.
std::optional<qint32> toFixed(double value);

}  // namespace pellucine
