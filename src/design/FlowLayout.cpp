#include "design/FlowLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pellucine {
namespace {

constexpr qreal overflowTolerance = 0.5;

}  // namespace

QList<FlowLayout::Row> FlowLayout::rows(const QList<Child>& children, qreal maxWidth) const {
    QList<Row> result(1);
    qreal x = 0;
    for (qsizetype i = 0; i < children.size(); ++i) {
        const QSizeF size = children.at(i).size;
        Row& current = result.last();
        const qreal gap = children.at(i).gap && !current.isEmpty() ? space : 0;
        // Children without a gap hold on to the one before them ("{⇧}{⇥}", "{⇥}."): a run that
        // fits on a row of its own moves there whole.
        qreal run = size.width();
        if (children.at(i).gap || i == 0) {
            for (qsizetype j = i + 1; j < children.size() && !children.at(j).gap; ++j) {
                run += children.at(j).size.width();
            }
        }
        const bool runFits = run <= maxWidth + overflowTolerance;
        if (!current.isEmpty() && runFits && maxWidth + overflowTolerance < x + gap + run) {
            result.append(Row{Entry{i, size.width(), size.height(), 0}});
            x = size.width();
        } else if (!current.isEmpty() && maxWidth + overflowTolerance < x + gap + size.width()) {
            result.append(Row{Entry{i, size.width(), size.height(), 0}});
            x = size.width();
        } else {
            current.append(Entry{i, size.width(), size.height(), gap});
            x += gap + size.width();
        }
    }
    return result;
}

QSizeF FlowLayout::sizeThatFits(const QList<Child>& children,
                                std::optional<qreal> proposedWidth) const {
    const qreal maxWidth = proposedWidth.value_or(std::numeric_limits<qreal>::infinity());
    const QList<Row> all = rows(children, maxWidth);
    qreal widest = 0;
    qreal heights = 0;
    for (const Row& row : all) {
        widest = std::max(widest, rowWidth(row));
        heights += rowHeight(row);
    }
    const qreal spacing = lineSpacing * static_cast<qreal>(all.size() - 1);
    return {std::min(maxWidth, std::ceil(widest)), std::ceil(heights + spacing)};
}

QList<QPointF> FlowLayout::place(const QList<Child>& children, const QRectF& bounds,
                                 std::optional<qreal> proposedWidth) const {
    const qreal maxWidth =
        proposedWidth ? std::max(bounds.width(), *proposedWidth) : bounds.width();
    QList<QPointF> result(children.size());
    qreal y = bounds.top();
    for (const Row& row : rows(children, maxWidth)) {
        const qreal height = rowHeight(row);
        qreal x = bounds.left();
        for (const Entry& entry : row) {
            x += entry.gap;
            result[entry.index] = QPointF(x, y + (height - entry.height) * 0.5);
            x += entry.width;
        }
        y += height + lineSpacing;
    }
    return result;
}

qreal FlowLayout::rowWidth(const Row& row) {
    qreal width = 0;
    for (const Entry& entry : row) {
        width += entry.gap + entry.width;
    }
    return width;
}

qreal FlowLayout::rowHeight(const Row& row) {
    qreal height = 0;
    for (const Entry& entry : row) {
        height = std::max(height, entry.height);
    }
    return height;
}

}  // namespace pellucine
