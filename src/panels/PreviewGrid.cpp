#include "panels/PreviewGrid.h"

#include <cmath>

#include "panels/CompactRow.h"
#include "panels/PreviewTile.h"

namespace pellucine {

PreviewGrid::PreviewGrid(const PreviewGridLayout& layout, bool compactList, QWidget* parent)
    : QWidget(parent), layout_(layout), compact_(compactList) {
    // The scroll area asks the policy, not the virtual, whether the height follows the width;
    // without it the grid is squeezed into the viewport and its last rows are cut.
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void PreviewGrid::setItems(const QList<WindowItem*>& items) {
    QList<int> places;
    places.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        places.append(static_cast<int>(i));
    }
    setItems(items, places);
}

void PreviewGrid::setItems(const QList<WindowItem*>& items, const QList<int>& places) {
    Q_ASSERT(items.size() == places.size());
    items_ = items;
    places_ = places;
    for (WindowItem* item : items_) {
        if (item->parentWidget() != this) {
            item->setParent(this);
        }
        item->show();
    }
    place();
    updateGeometry();
}

void PreviewGrid::setLayout(const PreviewGridLayout& layout) {
    layout_ = layout;
    if (!compact_) {
        for (WindowItem* item : items_) {
            static_cast<PreviewTile*>(item)->setLayout(layout_);
        }
    }
    place();
    updateGeometry();
}

QList<QRect> PreviewGrid::tileFrames(int count, const PreviewGridLayout& layout, int width,
                                     QSize tileSize) {
    QList<QRect> frames;
    const int columns = std::max(layout.columns, 1);
    const double step = layout.cardWidth + PreviewGridLayout::gap;
    const double gridWidth = layout.cardWidth * columns + PreviewGridLayout::gap * (columns - 1);
    const double left = gridSidePadding + (width - 2.0 * gridSidePadding - gridWidth) / 2;
    const double overhang = (tileSize.width() - layout.cardWidth) / 2;
    for (int i = 0; i < count; ++i) {
        const int column = i % columns;
        const int row = i / columns;
        const double x = left + column * step - overhang;
        const int y = row * (tileSize.height() + static_cast<int>(PreviewGridLayout::gap));
        frames.append(
            QRect(static_cast<int>(std::round(x)), y, tileSize.width(), tileSize.height()));
    }
    return frames;
}

QList<QRect> PreviewGrid::rowFrames(int count, int width, int rowHeight) {
    QList<QRect> frames;
    const int rowWidth = std::max(0, width - 2 * listSidePadding);
    for (int i = 0; i < count; ++i) {
        frames.append(QRect(listSidePadding, i * (rowHeight + listSpacing), rowWidth, rowHeight));
    }
    return frames;
}

QList<QRect> PreviewGrid::frames(int width) const {
    const int count = places_.isEmpty() ? 0 : places_.back() + 1;
    if (compact_) {
        return rowFrames(count, width, CompactRow::rowHeight);
    }
    return tileFrames(count, layout_, width, PreviewTile::tileSize(layout_));
}

int PreviewGrid::heightForWidth(int width) const {
    const QList<QRect> all = frames(width);
    const int bottom = all.isEmpty() ? 0 : all.back().bottom() + 1;
    return bottom + (compact_ ? listBottomPadding : gridBottomPadding);
}

QSize PreviewGrid::sizeHint() const {
    const int width =
        compact_ ? 300
                 : static_cast<int>(std::ceil(layout_.cardWidth * layout_.columns +
                                              PreviewGridLayout::gap * (layout_.columns - 1))) +
                       2 * gridSidePadding;
    return {width, heightForWidth(width)};
}

void PreviewGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void PreviewGrid::place() {
    const QList<QRect> all = frames(width());
    for (qsizetype i = 0; i < items_.size(); ++i) {
        items_[i]->setGeometry(all[places_[i]]);
    }
}

}  // namespace pellucine
