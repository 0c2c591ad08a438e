#pragma once

#include <QBoxLayout>
#include <QMargins>
#include <QWidget>
#include <optional>

#include "design/YardPalette.h"

namespace pellucine {

// A framed block of the welcome window: its content inset by `padding`, an optional fill behind
// it and a square border drawn inside its edge.
class CardFrame : public QWidget {
    Q_OBJECT

  public:
    using Ink = QColor Yard::Palette::*;

    struct Style {
        QMargins padding{14, 14, 14, 14};
        qreal borderWidth = 1.5;
        Ink border = &Yard::Palette::cardBorder;
        qreal borderOpacity = 1.0;
        // Without a fill the ground shows through.
        std::optional<Ink> fill = &Yard::Palette::sheet;
    };

    // The content is laid out in `direction`, `spacing` apart.
    CardFrame(const Style& style, QBoxLayout::Direction direction, int spacing,
              QWidget* parent = nullptr);

    const Style& style() const { return style_; }
    QBoxLayout* content() const { return content_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Style style_;
    QBoxLayout* content_;
};

}  // namespace pellucine
