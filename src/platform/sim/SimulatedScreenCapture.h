#pragma once

#include <QColor>
#include <QHash>
#include <QStringList>
#include <memory>
#include <optional>

#include "base/Scheduler.h"
#include "platform/DrawSettling.h"
#include "platform/ScreenCapture.h"

namespace pellucine {

class SimulatedDesktop;
struct SimulatedWindow;

// Window pictures of the simulated desktop. Every request takes at least one turn of the
// scheduler, more when a delay is set. The content is the desktop as it was when asked for;
// a picture shows the window as it is when the request completes. The shareable
// content lists the desktop's windows front to back with their window-list bounds; each
// window's picture is its own solid colour, or a picture the test gives it.
class SimulatedScreenCapture final : public ScreenCapture {
  public:
    SimulatedScreenCapture(const SimulatedDesktop& desktop, Scheduler& scheduler);
    ~SimulatedScreenCapture() override;
    SimulatedScreenCapture(const SimulatedScreenCapture&) = delete;
    SimulatedScreenCapture& operator=(const SimulatedScreenCapture&) = delete;

    QCoro::Task<ShareableContent> shareableContent() override;
    QCoro::Task<QImage> captureWindowImage(ShareableWindow window,
                                           WindowCaptureConfiguration configuration) override;

    // Driver. While the desktop's screen-capture permission is denied both requests fail
    // with permissionDenied.
    void setContentDelay(Duration delay) { contentDelay_ = delay; }
    // Every fetch of the content fails with this case; none lifts the failure.
    void failContent(std::optional<ScreenCaptureError::Case> failure) { contentFailure_ = failure; }
    void setCaptureDelay(Duration delay) { captureDelay_ = delay; }
    void setCaptureDelay(quint32 windowNumber, Duration delay);
    void failCapture(quint32 windowNumber, std::optional<ScreenCaptureError::Case> failure);
    // Whether the window is in the shareable content at all (by default every window is).
    void setShareable(quint32 windowNumber, bool shareable);
    // The window's content, scaled into each picture; a null picture restores the colour.
    void setPicture(quint32 windowNumber, QImage picture);
    // False makes minimized windows fail with windowNotViewable, as on a desktop that keeps
    // no pictures of them.
    void setMinimizedWindowsHavePictures(bool have) { minimizedHavePictures_ = have; }
    // The window has just come on screen and not drawn yet: its pictures are blank (white) until
    // it draws, and a capture waits until it has settled, as DrawSettling rules.
    void showUndrawn(quint32 windowNumber);
    // The window draws its content now.
    void draw(quint32 windowNumber);

    // Inspection.
    int contentFetchCount() const { return fetchCount_; }
    // Every picture asked for, in order: "window 12: 600 x 450, cursor hidden, scaled to fit".
    const QStringList& captureRequests() const { return captureRequests_; }
    // The colour a window's picture has when the test gave it none.
    static QColor colourOf(quint32 windowNumber);

  private:
    ShareableContent currentContent() const;
    QImage picture(const SimulatedWindow& window,
                   const WindowCaptureConfiguration& configuration) const;

    const SimulatedDesktop& desktop_;
    Scheduler& scheduler_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
    Duration contentDelay_{0};
    std::optional<ScreenCaptureError::Case> contentFailure_;
    Duration captureDelay_{0};
    QHash<quint32, Duration> captureDelays_;
    QHash<quint32, ScreenCaptureError::Case> captureFailures_;
    QHash<quint32, bool> shareable_;
    QHash<quint32, QImage> pictures_;
    QHash<quint32, DrawSettling> settling_;
    bool minimizedHavePictures_ = true;
    int fetchCount_ = 0;
    QStringList captureRequests_;
};

}  // namespace pellucine
