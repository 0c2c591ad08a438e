#pragma once

#include <QList>
#include <QVariant>
#include <QWidget>

#include "design/SelectListState.h"
#include "design/SelectOption.h"

class QScrollArea;

namespace pellucine {

class ContinuousClock;

// The scrolling list a select opens: one row per option with a checkmark by the selected one,
// driven by the pointer or entirely from the keyboard (arrows, Home, End, Return, Escape, and
// type-ahead by title). It keeps every key it handles from reaching the window behind it.
class YardSelectList : public QWidget {
    Q_OBJECT

  public:
    static constexpr int horizontalPadding = 10;
    static constexpr int rowSpacing = 8;
    static constexpr qreal checkmarkSize = 11;
    static constexpr int emptyPadding = 12;

    YardSelectList(const QList<SelectOption>& options, const QVariant& selection, qreal minWidth,
                   const ContinuousClock& clock, QWidget* parent = nullptr);

    const SelectListState& state() const { return state_; }
    int highlighted() const { return state_.highlighted(); }
    // The vertical scroll offset of the rows.
    int scrollOffset() const;
    QScrollArea* scrollArea() const { return scroll_; }
    // The row widgets, in option order.
    QList<QWidget*> rows() const { return rows_; }

    static QString emptyText();

    QSize sizeHint() const override;

  signals:
    void choose(const QVariant& value);
    void cancel();

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    class Row;

    void bringIntoView(SelectListState::Scroll how);
    void hover(int row);
    void chooseRow(int row);
    void highlightChanged();

    QList<SelectOption> options_;
    QVariant selection_;
    const ContinuousClock& clock_;
    SelectListState state_;
    QScrollArea* scroll_;
    QList<QWidget*> rows_;
};

}  // namespace pellucine
