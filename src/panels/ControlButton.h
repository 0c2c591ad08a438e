#pragma once

#include <QAbstractButton>

namespace pellucine {

// A round symbol button of the glance: the symbol centred in a square, on a disc of thick
// material with a dark and a light rim (so it shows on any picture), red when destructive. Without
// the disc it is a bare symbol (the header's menu button). The tooltip and the accessible name are
// the same text. Never takes focus.
class ControlButton : public QAbstractButton {
    Q_OBJECT

  public:
    struct Look {
        int side = 24;
        qreal pointSize = 11;
        bool onDisc = true;
        bool destructive = false;
    };

    ControlButton(const QString& symbol, const QString& label, Look look,
                  QWidget* parent = nullptr);

    QString symbol() const { return symbol_; }
    const Look& look() const { return look_; }
    void setSymbol(const QString& symbol, const QString& label);

    QSize sizeHint() const override { return {look_.side, look_.side}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString symbol_;
    Look look_;
};

}  // namespace pellucine
