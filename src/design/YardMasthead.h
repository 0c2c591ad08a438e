#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <optional>

namespace pellucine {

// The dark band across the top of a window: the application's icon, aligned with the window's
// content, the wordmark, and a trailing view on the right in the rail's ink.
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

    // The icon starts `iconInset` from the left edge, where the window's content starts.
    explicit YardMasthead(qreal iconInset = sidePadding + spacing, QWidget* parent = nullptr);

    qreal iconInset() const { return iconInset_; }
    void setIconInset(qreal inset);

    // The view at the trailing edge; the masthead takes ownership and styles its text.
    QWidget* trailing() const { return trailing_; }
    void setTrailing(QWidget* trailing);

    static QString wordmark();
    static QFont wordmarkFont();
    // The clear space before the icon: the inset, never less than the side padding.
    static qreal leadingSpace(qreal iconInset);
    static Layout layout(qreal width, qreal iconInset, QSizeF wordmarkSize,
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

    qreal iconInset_;
    QPointer<QWidget> trailing_;
};

}  // namespace pellucine
