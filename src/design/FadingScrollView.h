#pragma once

#include <QGradientStops>
#include <QScrollArea>

#include "design/YardPalette.h"

namespace pellucine {

class Transition;

// Whether content continues beyond the visible part of a scroll view.
struct ScrollEdges {
    bool above = false;
    bool below = false;

    friend bool operator==(const ScrollEdges&, const ScrollEdges&) = default;

    // From the content's top and bottom in the viewport's coordinates and the viewport's
    // height: a few points of overscroll at the top, or less than a point hidden at the bottom,
    // do not count.
    static ScrollEdges of(qreal contentTop, qreal contentBottom, qreal viewportHeight);
};

// The design system's vertical scroll view. When content is cut off it fades into the ground
// colour at the cut edge, and below it shows a "More below" cue; both come and go with a short
// ease-out. The fades and the cue let clicks and wheel turns through, stop 15 points short of
// the trailing edge so the scroll bar stays clear, and are skipped by assistive technologies.
class FadingScrollView : public QScrollArea {
    Q_OBJECT

  public:
    using Ink = QColor Yard::Palette::*;

    static constexpr qreal topFadeHeight = 50.4;
    static constexpr qreal bottomFadeHeight = 84;
    static constexpr int trailingInset = 15;
    static constexpr int cueBottom = 9;
    static constexpr int cueSpacing = 5;
    static constexpr qreal cueSymbolSize = 10;
    static constexpr int durationMs = 150;

    // `ground` is the colour behind the view that the fades blend into; `cue` colours the cue.
    explicit FadingScrollView(Ink ground = &Yard::Palette::ground, Ink cue = &Yard::Palette::muted,
                              QWidget* parent = nullptr);
    ~FadingScrollView() override;

    ScrollEdges edges() const { return edges_; }
    // The opacity each overlay is drawn at now.
    qreal topFadeOpacity() const;
    qreal bottomFadeOpacity() const;
    void finishTransitions();

    // Opacity of the ground along the bottom fade, top to bottom, and the mirror of it that the
    // top fade uses.
    static QGradientStops bottomFadeStops();
    static QGradientStops topFadeStops();
    static QString cueText();

    // Where the top and bottom overlays lie, in the view's coordinates.
    QRect topOverlayRect() const;
    QRect bottomOverlayRect() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    class Overlay;

    void refreshEdges();
    void placeOverlays();

    Ink ground_;
    Ink cue_;
    ScrollEdges edges_;
    Overlay* top_;
    Overlay* bottom_;
    Transition* topShown_;
    Transition* bottomShown_;
};

}  // namespace pellucine
