#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <optional>

namespace pellucine {

// The dark band across the top of a window: room for the title-bar buttons, the application's
// icon, the wordmark, and a trailing view on the right in the rail's ink.
class YardMasthead : public QWidget {
    Q_OBJECT

  public:
    static constexpr int mastheadHeight = 58;
    static constexpr int sidePadding = 18;
    static constexpr int spacing = 10;
    static constexpr int iconSide = 30;
    static constexpr int minimumGap = 16;
    static constexpr qreal wordmarkTracking = 1.1;
    static constexpr qreal trailingOpacity = 0.74;

    struct Layout {
        QRectF icon;
        QRectF wordmark;
        std::optional<QRectF> trailing;
        qreal minimumWidth = 0;
    };

    explicit YardMasthead(qreal lightsInset = sidePadding, QWidget* parent = nullptr);

    qreal lightsInset() const { return lightsInset_; }
    void setLightsInset(qreal inset);

    // The view at the trailing edge; the masthead takes ownership and styles its text.
    QWidget* trailing() const { return trailing_; }
    void setTrailing(QWidget* trailing);

    static QString wordmark();
    static QFont wordmarkFont();
    // The clear space before the icon: the inset less the side padding, never negative.
    static qreal leadingSpace(qreal lightsInset);
    static Layout layout(qreal width, qreal lightsInset, QSizeF wordmarkSize,
                         std::optional<QSizeF> trailingSize);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    Layout currentLayout() const;
    void styleTrailing();
    void placeTrailing();
    void updateAccessibleName();

    qreal lightsInset_;
    QPointer<QWidget> trailing_;
};

}  // namespace pellucine
