#pragma once

#include <QWidget>

namespace pellucine {

// A plain panel on the sheet colour with a card border drawn inside its edge.
class SheetFrame : public QWidget {
    Q_OBJECT

  public:
    static constexpr qreal borderWidth = 1.5;

    explicit SheetFrame(QWidget* parent = nullptr) : QWidget(parent) {}

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace pellucine
