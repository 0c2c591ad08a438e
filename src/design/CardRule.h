#pragma once

#include <QWidget>

namespace pellucine {

// A one-point hairline between rows of a card, with 2 points of room above and below it.
class CardRule : public QWidget {
    Q_OBJECT

  public:
    static constexpr int margin = 2;
    static constexpr int thickness = 1;

    explicit CardRule(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {0, 2 * margin + thickness}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace pellucine
