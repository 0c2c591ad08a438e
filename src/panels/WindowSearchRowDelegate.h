#pragma once

#include <QFont>
#include <QStyledItemDelegate>

#include "design/YardPalette.h"
#include "panels/ApplicationIconProviding.h"
#include "panels/HighlightedText.h"

namespace pellucine {

class WindowSearchResultModel;

// Draws one search result as a row: the application's icon, the title and the application name
// with their matches in bold, and the location badge. The selected row sits on the accent
// colour and has no separator below it.
class WindowSearchRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT

  public:
    static constexpr int rowHeight = 54;
    static constexpr int horizontalPadding = 20;
    static constexpr int spacing = 14;
    static constexpr int iconSide = 30;
    static constexpr int badgeWidth = 118;
    static constexpr int badgeVerticalPadding = 4;
    static constexpr int lineSpacing = 2;

    // Where a row's parts go.
    struct Geometry {
        QRectF icon;
        // The room of the title and the application name.
        QRectF text;
        QRectF badge;

        static Geometry of(const QRectF& row, qreal badgeHeight);
    };

    // Without icons every row shows the generic window symbol.
    WindowSearchRowDelegate(const WindowSearchResultModel& model,
                            const ApplicationIconProviding* icons, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static QFont titleFont(bool bold);
    static QFont applicationFont(bool bold);
    static QFont badgeFont();
    // The text as drawn in `width`: elided in the middle, measured with its highlights in bold.
    static HighlightedText::Line fitted(const HighlightedText::Line& line, qreal width,
                                        const QFont& regular, const QFont& bold);

  private:
    const WindowSearchResultModel& model_;
    const ApplicationIconProviding* icons_;
};

}  // namespace pellucine
