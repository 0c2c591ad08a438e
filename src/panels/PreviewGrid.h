#pragma once

#include <QList>
#include <QRect>
#include <QWidget>

#include "panels/PreviewGridLayout.h"

namespace pellucine {

class WindowItem;

// The scrolled part of a glance: tiles in the layout's columns of card width, 12 apart and
// centred, or compact rows one under another. The items are the content view's; this only
// places them, each in its place (the n-th of the grid or list), in the order given.
class PreviewGrid : public QWidget {
    Q_OBJECT

  public:
    static constexpr int gridSidePadding = 18;
    static constexpr int gridBottomPadding = 14;
    static constexpr int listSidePadding = 12;
    static constexpr int listBottomPadding = 12;
    static constexpr int listSpacing = 6;

    PreviewGrid(const PreviewGridLayout& layout, bool compactList, QWidget* parent = nullptr);

    bool isCompactList() const { return compact_; }
    // Takes the items in display order, in places 0, 1, 2, …; items no longer listed are left to
    // their owner.
    void setItems(const QList<WindowItem*>& items);
    // The same, each item in the place of the same index in `places`, which rise; places between
    // them stay empty.
    void setItems(const QList<WindowItem*>& items, const QList<int>& places);
    const QList<WindowItem*>& items() const { return items_; }
    const QList<int>& places() const { return places_; }
    // The grid's tiles take the new card size; the list ignores it.
    void setLayout(const PreviewGridLayout& layout);

    // The tiles' frames for `count` tiles of `tileSize` in a grid `width` wide: column c starts
    // at c × (cardWidth + 12) from the centred grid's left edge, and each tile reaches half its
    // extra width beyond its column on both sides.
    static QList<QRect> tileFrames(int count, const PreviewGridLayout& layout, int width,
                                   QSize tileSize);
    // The rows' frames for `count` rows in a list `width` wide.
    static QList<QRect> rowFrames(int count, int width, int rowHeight);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QList<QRect> frames(int width) const;
    void place();

    PreviewGridLayout layout_;
    bool compact_;
    QList<WindowItem*> items_;
    QList<int> places_;
};

}  // namespace pellucine
