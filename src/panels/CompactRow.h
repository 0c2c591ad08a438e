#pragma once

#include "panels/WindowItem.h"

namespace pellucine {

// A window as a row of the compact list: a 68 × 42 thumbnail (the picture cropped to fill it),
// the title and, unless plainly on screen, the location under it, and the window controls at
// the trailing end. 54 high, as wide as the list.
class CompactRow : public WindowItem {
    Q_OBJECT

  public:
    static constexpr int rowHeight = 54;
    static constexpr qreal horizontalInset = 8;
    static constexpr qreal spacing = 10;
    static constexpr qreal minimumSpacer = 6;
    static constexpr qreal textSpacing = 2;
    static constexpr qreal cornerRadius = 11;
    static constexpr QSizeF thumbnailSize{68, 42};
    static constexpr qreal thumbnailCornerRadius = 7;
    static constexpr qreal iconInset = 8;
    static constexpr qreal lockSize = 13;

    CompactRow(State state, GlanceCallbacks callbacks, bool showsControls,
               QWidget* parent = nullptr);

    QRectF thumbnailRect() const;
    // Where the title and location lines may go: from the thumbnail to the controls.
    QRectF textRect() const;
    std::optional<WindowPictureKind> pictureKind() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void layoutControls() override;

  private:
    qreal controlsWidth() const;
};

}  // namespace pellucine
