#pragma once

#include <QString>

#include "settings/CardFrame.h"

namespace pellucine {

class KeyHint;
class SymbolIcon;
class YardText;

// A card that presents one feature: a symbol, a title and a key hint. As a tile (the
// introduction) the large symbol stands over the text; as a row (the Dock step) it sits beside.
class FeatureCard : public CardFrame {
    Q_OBJECT

  public:
    enum class Layout { tile, row };

    static constexpr int tilePadding = 16;
    static constexpr int tileSpacing = 10;
    static constexpr int tileMinimumHeight = 168;
    static constexpr qreal tileSymbolSize = 26;
    static constexpr int tileSymbolHeight = 30;
    static constexpr int rowPadding = 12;
    static constexpr int rowSpacing = 14;
    static constexpr int rowTextSpacing = 3;
    static constexpr int rowSymbolWidth = 28;
    static constexpr qreal rowBorderOpacity = 0.7;

    // `text` is a key-hint template.
    FeatureCard(Layout layout, const QString& symbol, const QString& title, const QString& text,
                QWidget* parent = nullptr);

    SymbolIcon* symbol() const { return symbol_; }
    YardText* title() const { return title_; }
    KeyHint* text() const { return text_; }

  private:
    SymbolIcon* symbol_;
    YardText* title_;
    KeyHint* text_;
};

}  // namespace pellucine
