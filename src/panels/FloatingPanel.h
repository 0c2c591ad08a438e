#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace pellucine {

class FloatingPanelHints;
class PanelWindowSystem;
class ShapedEdge;

// A borderless top-level window that floats above every other window, full-screen ones
// included, on every desktop, and never takes focus: showing it leaves the active window as it
// was. On X11 it bypasses the window manager (which would otherwise stack a focused full-screen
// window above it and could focus it) and carries the hints of an always-on-top, sticky window
// kept out of taskbars and pagers that its window system's FloatingPanelHints set.
//
// It shows one content widget filling it. Translucent, it lets its content's transparent parts
// show the desktop through; opaque (without a compositing manager to blend it) it is cut to
// its content's rounded shape instead, with a crisp rim along the cut.
class FloatingPanel : public QWidget {
    Q_OBJECT

  public:
    // `passesInput`: clicks and hovering go to whatever lies under the panel.
    // `windowSystem` outlives the panel.
    FloatingPanel(bool passesInput, const PanelWindowSystem& windowSystem,
                  QWidget* parent = nullptr);
    ~FloatingPanel() override;

    bool passesInput() const { return passesInput_; }
    bool isTranslucent() const { return translucent_; }
    // Takes effect before the next showing; a visible panel keeps its surface until then.
    void setTranslucent(bool translucent);

    // The shape an opaque panel is cut to: its rectangle inset by `inset`, corners of `radius`,
    // drawn with a one-pixel rim (`ShapedEdge`).
    void setShape(qreal inset, qreal radius);

    QWidget* content() const { return content_; }
    // Replaces the content; the previous one is hidden at once and deleted later, so that a
    // callback running inside it may replace it safely. Null leaves the panel empty.
    void setContent(QWidget* content);

    // The colour the window system fills an opaque panel with before it is painted, so that a
    // panel just shown never shows what lay beneath it; none leaves it unfilled.
    void setBackdrop(const QColor& colour) { backdrop_ = colour; }

    // Shows the panel at `geometry` without activating it, and raises it above everything.
    void orderFront(const QRect& geometry);
    void orderOut();
    // Makes the native window, with the surface set, and prepares the hints, so that the first
    // showing only maps it. Does nothing to a visible panel.
    void prepare();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void applySurface();
    void applyBackdrop();
    void updateMask();

    bool passesInput_;
    std::unique_ptr<FloatingPanelHints> hints_;
    bool translucent_ = true;
    bool surfaceApplied_ = false;
    qreal shapeInset_ = 0;
    qreal shapeRadius_ = 0;
    QColor backdrop_;
    QPointer<QWidget> content_;
    ShapedEdge* edge_ = nullptr;
};

}  // namespace pellucine
