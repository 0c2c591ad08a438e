#pragma once

#include <QSize>
#include <QWidget>

#include "design/YardPalette.h"

namespace pellucine {

// A key name drawn as a key cap: regular, compact for use inside a line of text (`isInline`),
// or on the dark rail. Other views draw caps with `paint` and size them with `size`.
class KeyCap : public QWidget {
    Q_OBJECT

  public:
    static constexpr int minimumLabelWidth = 26;
    static constexpr int minimumInlineLabelWidth = 12;
    static constexpr int horizontalPadding = 7;
    static constexpr int verticalPadding = 4;
    static constexpr int inlineHorizontalPadding = 4;
    static constexpr int inlineVerticalPadding = 1;
    static constexpr qreal borderWidth = 1.0;
    static constexpr qreal borderOpacity = 0.5;
    static constexpr qreal railBorderOpacity = 0.45;

    explicit KeyCap(const QString& label, bool onRail = false, bool isInline = false,
                    QWidget* parent = nullptr);

    QString label() const { return label_; }
    void setLabel(const QString& label);
    bool onRail() const { return onRail_; }
    void setOnRail(bool onRail);
    bool isInline() const { return isInline_; }
    void setInline(bool isInline);

    // The cap's size for `label`: the label's ideal size, widened to the minimum, plus padding.
    static QSize size(const QString& label, bool isInline);
    // Draws a cap filling `rect` (of `size`), the label centred in it.
    static void paint(QPainter& painter, const QRectF& rect, const QString& label,
                      const Yard::Palette& palette, bool onRail);

    QSize sizeHint() const override { return size(label_, isInline_); }
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString label_;
    bool onRail_;
    bool isInline_;
};

}  // namespace pellucine
