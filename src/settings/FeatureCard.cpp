#include "settings/FeatureCard.h"

#include <QVBoxLayout>

#include "design/KeyHint.h"
#include "design/Symbols.h"
#include "design/Yard.h"
#include "design/YardText.h"
#include "settings/SymbolIcon.h"

namespace pellucine {
namespace {

using Layout = FeatureCard::Layout;

CardFrame::Style styleOf(Layout layout) {
    if (layout == Layout::tile) {
        const int p = FeatureCard::tilePadding;
        return {.padding = {p, p, p, p}};
    }
    const int p = FeatureCard::rowPadding;
    return {.padding = {p, p, p, p},
            .borderWidth = 1.0,
            .borderOpacity = FeatureCard::rowBorderOpacity};
}

SymbolIcon* symbolOf(Layout layout, const QString& name) {
    if (layout == Layout::tile) {
        const qreal size = FeatureCard::tileSymbolSize;
        return new SymbolIcon(name, size, SymbolWeight::medium, &Yard::Palette::accentType,
                              QSize(qCeil(Symbols::side(size)), FeatureCard::tileSymbolHeight),
                              Qt::AlignLeft | Qt::AlignBottom);
    }
    return new SymbolIcon(
        name, SymbolIcon::title2, SymbolWeight::regular, &Yard::Palette::accentType,
        QSize(FeatureCard::rowSymbolWidth, qCeil(Symbols::side(SymbolIcon::title2))));
}

}  // namespace

FeatureCard::FeatureCard(Layout layout, const QString& symbol, const QString& title,
                         const QString& text, QWidget* parent)
    : CardFrame(styleOf(layout),
                layout == Layout::tile ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight,
                layout == Layout::tile ? tileSpacing : rowSpacing, parent),
      symbol_(symbolOf(layout, symbol)),
      title_(new YardText(title, Yard::labelFont())),
      text_(new KeyHint(text, Yard::hintFont(), true)) {
    if (layout == Layout::tile) {
        setMinimumHeight(tileMinimumHeight);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        content()->addWidget(symbol_);
        content()->addWidget(title_);
        content()->addWidget(text_);
        content()->addStretch(1);
        return;
    }
    auto* column = new QVBoxLayout;
    column->setSpacing(rowTextSpacing);
    column->addWidget(title_);
    column->addWidget(text_);
    content()->addWidget(symbol_, 0, Qt::AlignTop);
    content()->addLayout(column, 1);
}

}  // namespace pellucine
