#pragma once

#include <QObject>
#include <QSize>
#include <optional>

#include "base/Scheduler.h"
#include "base/SharedTask.h"
#include "core/PreviewServicing.h"
#include "platform/ScreenCapture.h"

namespace pellucine {

// Takes one still picture of one window at twice the width it will be shown at, but never
// wider than the window has pixels, so a small window is never enlarged. The list of windows that
// can be pictured is costly to get, so it is kept for two seconds and fetched once for all the
// captures that need it at the same time. Main thread only; records nothing itself.
class ScreenCapturePreviewService final : public QObject, public PreviewServicing {
    Q_OBJECT

  public:
    static constexpr double contentLifetimeSeconds = 2.0;
    // Display widths above this are refused; previews are at most a few hundred points wide.
    static constexpr double maximumDisplayWidth = 4096;
    static constexpr double minimumAspectRatio = 0.2;
    static constexpr double maximumAspectRatio = 3.0;

    ScreenCapturePreviewService(ScreenCapture& capture, Scheduler& scheduler,
                                QObject* parent = nullptr);

    // Finds the window by its number among the windows that can be pictured and pictures it.
    // Throws PreviewWidthError for a width that is not a number from 0 to
    // maximumDisplayWidth, WindowServiceError::windowUnavailable when the window is not among
    // them, and the platform's ScreenCaptureError unchanged.
    QCoro::Task<QImage> capture(WindowDescriptor window, double width) override;
    void invalidateContent() override;

    // The windows that can be pictured: the held list while it is younger than two seconds,
    // else the fetch in flight, else a new fetch. A fetch that was under way when the content
    // was invalidated still answers its callers but is not kept.
    QCoro::Task<ShareableContent> shareableContent();

    // The window's height over its width (at least 1), kept within 0.2 to 3.
    static double aspectRatio(Size frame);
    // Twice the display width, at most the window's own width in pixels (its frame's width
    // times `scale`), by that width times the ratio; each truncated and at least 1 pixel.
    static QSize pixelSize(Size frame, double width, double scale = 1);

  private:
    QCoro::Task<ShareableContent> fetchContent(CancellationToken token);

    ScreenCapture& capture_;
    Scheduler& scheduler_;
    std::optional<ShareableContent> cachedContent_;
    // When cachedContent_ was fetched.
    ContinuousInstant cachedAt_;
    // The fetch in flight; empty when none.
    SharedTask<ShareableContent> contentTask_;
};

}  // namespace pellucine
