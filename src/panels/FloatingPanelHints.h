#pragma once

class QColor;
class QWidget;

namespace pellucine {

// The window-manager hints of one floating panel (FloatingPanel) beyond Qt's window flags: the
// states of an always-on-top, sticky window kept out of taskbars and pagers, on every desktop,
// for compositors and pagers that read them; and the colour its native window is filled with
// before the panel is painted. Made by a PanelWindowSystem for one panel. Main thread only.
class FloatingPanelHints {
  public:
    virtual ~FloatingPanelHints() = default;

    // Looks up what the hints need ahead of the first showing; later calls do nothing.
    virtual void prepare() = 0;
    // Sets the hints on the panel's native window, looking up what they need first if
    // `prepare` did not; nothing while the panel has no native window.
    virtual void apply(QWidget& panel) = 0;
    // Fills the panel's native window, made now if need be, with `colour` until it is painted.
    virtual void fillBackdrop(QWidget& panel, const QColor& colour) = 0;
};

}  // namespace pellucine
