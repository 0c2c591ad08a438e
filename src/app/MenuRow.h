#pragma once

#include <QWidget>

#include "app/MenuRowLayout.h"
#include "design/YardAccessible.h"

class QAction;
class QMenu;

namespace pellucine {

// A status-menu row that draws itself: highlight, symbol, title (and subtitle) and a trailing
// run of key caps or text. It sits in a menu as the widget of a QWidgetAction and performs that
// action on a click or an accessibility press, after closing the menu. Rows never change;
// the menu makes new ones each time it opens. Main thread.
class MenuRow final : public QWidget, public AccessibleElement {
    Q_OBJECT

  public:
    using Trailing = MenuRowTrailing;

    MenuRow(MenuRowContent content, QSize size, QWidget* parent = nullptr);

    const MenuRowContent& content() const { return content_; }
    // The menu action this row is the widget of; null outside a menu.
    QAction* enclosingAction() const;
    // Enabled and its menu action is the menu's active one.
    bool isHighlighted() const;
    // Closes the menu (and any menu above it), then triggers the action. Nothing for a
    // disabled row or one outside a menu; answers whether it acted.
    bool performClick();

    QSize sizeHint() const override { return size_; }
    QSize minimumSizeHint() const override { return size_; }

    // Draws caps in `rects` with their labels centred, the outline inside each cap.
    static void paintCaps(QPainter& painter, const QList<QRectF>& rects, const QStringList& labels,
                          const QColor& label, const QColor& fill, const QColor& stroke);

    // AccessibleElement.
    QAccessible::Role accessibleRole() const override { return QAccessible::MenuItem; }
    bool isAccessiblyPressable() const override;
    void accessiblePress() override { performClick(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QMenu* menu() const;

    MenuRowContent content_;
    QSize size_;
};

}  // namespace pellucine
