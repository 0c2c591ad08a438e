#include "design/BaselineRowLayout.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

#include "design/TextBaseline.h"

namespace pellucine {

BaselineRowLayout::BaselineRowLayout(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

BaselineRowLayout::~BaselineRowLayout() {
    for (const Item& entry : items_) {
        delete entry.item;
    }
}

void BaselineRowLayout::addWidget(QWidget* widget, bool flexible) {
    addChildWidget(widget);
    // The second version of the item keeps the widget's hints until the widget changes them.
    items_.append({new QWidgetItemV2(widget), flexible});
    invalidate();
}

void BaselineRowLayout::addItem(QLayoutItem* item) {
    items_.append({item, false});
    invalidate();
}

QLayoutItem* BaselineRowLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_.at(index).item : nullptr;
}

QLayoutItem* BaselineRowLayout::takeAt(int index) {
    if (index < 0 || index >= items_.size()) {
        return nullptr;
    }
    QLayoutItem* item = items_.takeAt(index).item;
    invalidate();
    return item;
}

QList<qreal> BaselineRowLayout::widths(const QList<Width>& items, qreal available, qreal spacing) {
    qreal fixed = spacing * static_cast<qreal>(std::max<qsizetype>(0, items.size() - 1));
    qsizetype flexibleCount = 0;
    for (const Width& item : items) {
        if (item.flexible) {
            ++flexibleCount;
        } else {
            fixed += item.ideal;
        }
    }
    const qreal share =
        flexibleCount > 0 ? std::max<qreal>(0, available - fixed) / flexibleCount : 0;
    QList<qreal> result;
    result.reserve(items.size());
    for (const Width& item : items) {
        result.append(item.flexible ? std::max(share, item.minimum) : item.ideal);
    }
    return result;
}

BaselineRowLayout::Stack BaselineRowLayout::stack(const QList<Line>& lines) {
    qreal baseline = 0;
    for (const Line& line : lines) {
        baseline = std::max(baseline, line.baseline);
    }
    Stack result;
    for (const Line& line : lines) {
        const qreal top = baseline - line.baseline;
        result.tops.append(top);
        result.height = std::max(result.height, top + line.height);
    }
    return result;
}

int BaselineRowLayout::visibleCount() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(),
                                          [](const Item& e) { return !e.item->isEmpty(); }));
}

BaselineRowLayout::Arrangement BaselineRowLayout::arrange(int width) const {
    QList<const Item*> shown;
    QList<Width> wanted;
    for (const Item& entry : items_) {
        if (entry.item->isEmpty()) {
            continue;
        }
        shown.append(&entry);
        const QSize ideal = entry.item->sizeHint().expandedTo(entry.item->minimumSize());
        wanted.append({static_cast<qreal>(ideal.width()),
                       static_cast<qreal>(entry.item->minimumSize().width()), entry.flexible});
    }
    const QList<qreal> itemWidths = widths(wanted, width, spacing());
    QList<Line> lines;
    QList<int> heights;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        QLayoutItem* item = shown.at(i)->item;
        const int w = static_cast<int>(std::floor(itemWidths.at(i)));
        const int h =
            item->hasHeightForWidth() ? item->heightForWidth(w) : item->sizeHint().height();
        heights.append(h);
        lines.append(
            {static_cast<qreal>(h), static_cast<qreal>(Yard::firstBaseline(item->widget(), h))});
    }
    const Stack stacked = stack(lines);
    Arrangement result;
    qreal x = 0;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const int w = static_cast<int>(std::floor(itemWidths.at(i)));
        result.frames.append(QRect(static_cast<int>(std::round(x)),
                                   static_cast<int>(std::round(stacked.tops.at(i))), w,
                                   heights.at(i)));
        x += itemWidths.at(i) + spacing();
    }
    result.height = static_cast<int>(std::ceil(stacked.height));
    return result;
}

QSize BaselineRowLayout::sizeHint() const {
    int width = spacing() * std::max(0, visibleCount() - 1);
    for (const Item& entry : items_) {
        if (!entry.item->isEmpty()) {
            width += entry.item->sizeHint().expandedTo(entry.item->minimumSize()).width();
        }
    }
    const QMargins m = contentsMargins();
    return {width + m.left() + m.right(), heightForWidth(width + m.left() + m.right())};
}

QSize BaselineRowLayout::minimumSize() const {
    int width = spacing() * std::max(0, visibleCount() - 1);
    for (const Item& entry : items_) {
        if (entry.item->isEmpty()) {
            continue;
        }
        const QSize ideal = entry.item->sizeHint().expandedTo(entry.item->minimumSize());
        width += entry.flexible ? entry.item->minimumSize().width() : ideal.width();
    }
    const QMargins m = contentsMargins();
    return {width + m.left() + m.right(), 0};
}

int BaselineRowLayout::heightForWidth(int width) const {
    if (heightCache_ && heightCache_->first == width) {
        return heightCache_->second;
    }
    const QMargins m = contentsMargins();
    const int height = arrange(width - m.left() - m.right()).height + m.top() + m.bottom();
    heightCache_ = {width, height};
    return height;
}

void BaselineRowLayout::invalidate() {
    heightCache_.reset();
    QLayout::invalidate();
}

void BaselineRowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect inner = rect.marginsRemoved(contentsMargins());
    const Arrangement arrangement = arrange(inner.width());
    qsizetype next = 0;
    for (const Item& entry : items_) {
        if (!entry.item->isEmpty()) {
            entry.item->setGeometry(arrangement.frames.at(next++).translated(inner.topLeft()));
        }
    }
}

}  // namespace pellucine
