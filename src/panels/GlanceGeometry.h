#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "base/Rect.h"
#include "core/WindowDescriptor.h"
#include "panels/PreviewGridLayout.h"
#include "panels/ScreenLookup.h"
#include "panels/TextMeasuring.h"

namespace pellucine {

// The size and place of one glance (the preview panel above the Command-Tab strip, beside a Dock
// icon or for the current application), decided from plain values before anything is shown.
struct GlanceGeometry {
    struct Input {
        // Where the glance belongs: the pointer over a Dock item, a chosen screen's visible
        // frame, the system strip's frame. All in screen space; each may be absent.
        std::optional<ScreenPoint> anchor;
        std::optional<ScreenRect> screenFrame;
        std::optional<ScreenRect> switcherFrame;
        bool dockMode = false;
        bool showsDockControls = false;
        bool showsSearchHint = false;
        // The header carries a close button.
        bool hasCloseButton = false;

        // The windows shown, in display order.
        QList<WindowDescriptor> windows;
        // The largest card width the user wants.
        double previewWidth = 0;
        // The Dock preview style's answer for these windows; only consulted in Dock mode.
        bool compactListPreferred = false;

        // The desktop's screens in system order, and the main screen's visible frame.
        QList<Screen> screens;
        std::optional<ScreenRect> mainScreenVisibleFrame;
    };

    // The screen area the glance is sized and placed in.
    ScreenRect screenArea;
    double aspectRatio = defaultAspectRatio;
    // The grid, kept even when the compact list replaces its size.
    PreviewGridLayout layout;
    bool usesCompactList = false;
    // The panel's content size and lower-left origin.
    Size panelSize;
    ScreenPoint origin;

    static constexpr double defaultAspectRatio = 1.6;
    static constexpr double narrowestAspectRatio = 1.4;
    static constexpr double widestAspectRatio = 2.2;
    static constexpr double searchHintHeight = 36;
    static constexpr double closeButtonWidth = 30;
    static constexpr double menuButtonWidth = 30;
    static constexpr double compactListWidth = 460;
    static constexpr double compactRowHeight = 60;
    static constexpr double compactChromeHeight = 46;

    static GlanceGeometry compute(const Input& input, const TextMeasuring& measurer);

    // The given screen frame; else the visible frame of the first screen holding the anchor;
    // else the main screen's visible frame; else (0, 0, 1000, 700).
    static ScreenRect targetScreenArea(const std::optional<ScreenRect>& screenFrame,
                                       const std::optional<ScreenPoint>& anchor,
                                       const QList<Screen>& screens,
                                       const std::optional<ScreenRect>& mainScreenVisibleFrame);

    // Mean width / height over windows with a non-empty frame (1.6 without any), within 1.4 to 2.2.
    static double meanAspectRatio(const QList<WindowDescriptor>& windows);

    // The room for the grid: the area's width less 40 (at least 300) by, with a strip frame, the
    // room between the strip's top and the area's top less 30 (at least 245), else the area's
    // height less 72 (at least 245).
    static Size availableSize(const ScreenRect& screenArea,
                              const std::optional<ScreenRect>& switcherFrame);

    // The panel height that fits between the strip's top (plus the strip gap) and the area's
    // top margin; negative when none does.
    static double roomAboveStrip(const ScreenRect& screenArea, const ScreenRect& switcherFrame);
    // Below this much room above the strip the grid is not shrunk any further.
    static constexpr double smallestGridAboveStrip = 100;

    // The width the glance header needs for the application name, the window count and, when
    // menuShown, the application menu button. Text widths are rounded up.
    static double headerRowWidth(const QString& applicationName, int windowCount, bool menuShown,
                                 const TextMeasuring& measurer);

    // The largest card the grid may use: the user's preview width, but no wider than the widest
    // window shown, so that small windows do not sit in large empty cards.
    static double largestCardWidth(const Input& input);

    // "1 window", else the count followed by " windows".
    static QString windowCountText(int count);

    friend bool operator==(const GlanceGeometry&, const GlanceGeometry&) = default;
};

}  // namespace pellucine
