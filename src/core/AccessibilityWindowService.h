#pragma once

#include <utility>

#include "base/EventRecording.h"
#include "core/WindowServicing.h"
#include "platform/Desktop.h"

namespace pellucine {

// Lists the other applications' windows by pairing the system window list (numbers, order,
// on-screen state) with each application's accessibility windows (kind, title, true frame,
// minimized and full-screen state), and carries out window actions through those elements.
// Keeps no state between calls. Main thread only.
class AccessibilityWindowService final : public WindowServicing {
  public:
    // How long one application may take to list its windows during a snapshot.
    static constexpr double enumerationTimeoutSeconds = 0.25;
    // How long each request of a window action may take.
    static constexpr double actionTimeoutSeconds = 0.75;
    // Window-list entries and accessibility windows smaller than this in either direction are
    // not real windows.
    static constexpr double minimumWindowSide = 80;

    AccessibilityWindowService(Desktop& desktop, EventRecording& events)
        : desktop_(desktop), events_(events) {}

    // Never suspends and never throws; records "window-enumeration".
    QCoro::Task<QList<ApplicationDescriptor>> enumerateWindows() override;
    QList<ApplicationDescriptor> snapshot();

    // Throws WindowServiceError::windowUnavailable when the window cannot be found again.
    void performWindowAction(WindowAction action, const WindowDescriptor& window) override;

    // The visible frame (global space) of the screen the frame overlaps most; ties go to the
    // earlier screen, so a frame off every screen goes to the first numbered one.
    std::optional<GlobalRect> bestVisibleFrame(const GlobalRect& frame) const;

    // Position first, then size; a non-finite value is not written.
    static void setElementFrame(AccessibilityElement& element, GlobalPoint origin, Size size);

    // Readers shared with other element walkers. Each gives none when the read fails, has no
    // value or has a value of another kind.
    static std::optional<GlobalRect> readElementFrame(const AccessibilityElement& element);
    static std::optional<bool> readBoolAttribute(const AccessibilityElement& element,
                                                 QStringView name);
    static std::optional<QString> readStringAttribute(const AccessibilityElement& element,
                                                      QStringView name);
    static std::optional<ElementList> readElementsAttribute(const AccessibilityElement& element,
                                                            QStringView name);

  private:
    ElementRef findWindowElement(const ElementList& elements, const WindowDescriptor& window,
                                 bool restoring) const;
    std::optional<std::pair<GlobalRect, double>> visibleFrameAndOverlap(
        const Screen& screen, const GlobalRect& frame, double mainDisplayHeight) const;
    void activateAllWindows(qint32 pid);

    Desktop& desktop_;
    EventRecording& events_;
};

}  // namespace pellucine
