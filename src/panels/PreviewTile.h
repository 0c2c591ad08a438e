#pragma once

#include "panels/PreviewGridLayout.h"
#include "panels/WindowItem.h"

namespace pellucine {

// A window as a grid tile: its picture card of the layout's card size with a location badge
// (unless plainly on screen) and the window controls, the title under it, all inset 5 on a
// faint rounded ground.
class PreviewTile : public WindowItem {
    Q_OBJECT

  public:
    static constexpr qreal inset = 5;
    static constexpr qreal spacing = 5;
    static constexpr qreal cornerRadius = 13;
    static constexpr qreal cardCornerRadius = 9;
    static constexpr qreal groundOpacity = 0.035;
    static constexpr qreal cardFillOpacity = 0.06;
    static constexpr qreal largestIcon = 48;
    static constexpr qreal symbolSize = 32;
    static constexpr qreal badgeMargin = 7;
    static constexpr qreal badgeHorizontalPadding = 7;
    static constexpr qreal badgeVerticalPadding = 4;
    static constexpr qreal controlsMargin = 8;
    static constexpr qreal controlsSpacing = 6;

    PreviewTile(State state, const PreviewGridLayout& layout, GlanceCallbacks callbacks,
                bool showsControls, QWidget* parent = nullptr);

    // cardWidth + 10 by previewHeight + 7 + one caption line + 10.
    static QSize tileSize(const PreviewGridLayout& layout);
    QRectF cardRect() const;
    // The location badge's rectangle in the card; empty when the window is plainly on screen.
    QRectF badgeRect() const;
    WindowPictureKind pictureKind() const;

    QSize sizeHint() const override { return tileSize(layout_); }
    // A new card size; the tile is sized for it.
    void setLayout(const PreviewGridLayout& layout);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void layoutControls() override;

  private:
    void paintPicture(QPainter& painter, const QRectF& card) const;

    PreviewGridLayout layout_;
};

}  // namespace pellucine
