#pragma once

#include <QImage>
#include <QWidget>
#include <optional>

#include "core/WindowDescriptor.h"

namespace pellucine {

// The peek's content: a 46-high header with the application's icon, the window's title and
// application name and, room permitting, a hint, above the picture drawn at its fitted size.
class FullSizePeekView : public QWidget {
    Q_OBJECT

  public:
    static constexpr qreal headerHeight = 46;
    static constexpr qreal headerPadding = 14;
    static constexpr qreal headerSpacing = 9;
    static constexpr qreal iconSide = 24;
    static constexpr qreal titleSpacing = 1;
    static constexpr qreal pictureMargin = 12;
    static constexpr qreal pictureCornerRadius = 10;
    static constexpr qreal cornerRadius = 18;
    static constexpr qreal outlineOpacity = 0.18;

    FullSizePeekView(WindowDescriptor window, QImage image, QSizeF imageSize, QImage icon,
                     QWidget* parent = nullptr);

    static QString longHint() {
        return QStringLiteral("Click the preview to bring this window forward");
    }
    static QString shortHint() { return QStringLiteral("Click to bring it forward"); }
    // The longest hint no wider than `room`, else none.
    static std::optional<QString> hintFor(qreal room, qreal longWidth, qreal shortWidth);

    const WindowDescriptor& window() const { return window_; }
    const QImage& image() const { return image_; }
    bool hasIcon() const { return !icon_.isNull(); }
    QString title() const;
    // The hint the header has room for at the view's width.
    std::optional<QString> hint() const;
    QRectF pictureRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    qreal titleColumnLeft() const;
    qreal titleColumnWidth() const;

    WindowDescriptor window_;
    QImage image_;
    QSizeF imageSize_;
    QImage icon_;
};

}  // namespace pellucine
