#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <optional>

namespace pellucine {

// Places children left to right in rows that wrap at a width, with a gap of `space` only before
// children that ask for one (and never at the start of a row). A run of children without gaps
// between them wraps as one piece unless it is wider than a row. Children keep their own size and
// are centred vertically in their row.
struct FlowLayout {
    struct Child {
        QSizeF size;
        bool gap = false;  // preceded by `space` unless it starts a row
    };
    struct Entry {
        qsizetype index = 0;
        qreal width = 0;
        qreal height = 0;
        qreal gap = 0;  // the leading gap it was given
    };
    using Row = QList<Entry>;

    qreal space = 0;
    qreal lineSpacing = 0;

    // Rows at most `maxWidth` wide (half a point of overflow tolerated). A child wider than
    // that gets a row of its own. Always at least one row, empty when there are no children.
    QList<Row> rows(const QList<Child>& children, qreal maxWidth) const;

    // The size the children need within `proposedWidth` (unbounded when none): the widest row,
    // rounded up and capped at the proposal, by the rows' heights and spacing, rounded up.
    QSizeF sizeThatFits(const QList<Child>& children, std::optional<qreal> proposedWidth) const;

    // Top-left corners, in child order, for children placed in `bounds`; rows break at the larger
    // of the bounds' width and the proposal.
    QList<QPointF> place(const QList<Child>& children, const QRectF& bounds,
                         std::optional<qreal> proposedWidth) const;

    static qreal rowWidth(const Row& row);
    static qreal rowHeight(const Row& row);
};

}  // namespace pellucine
