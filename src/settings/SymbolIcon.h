#pragma once

#include <QString>
#include <QWidget>

#include "design/Symbols.h"
#include "design/YardPalette.h"

namespace pellucine {

// One symbol in a palette colour, placed in a fixed frame.
class SymbolIcon : public QWidget {
    Q_OBJECT

  public:
    using Ink = QColor Yard::Palette::*;

    // Point sizes of the system's text styles that symbols are set in.
    static constexpr qreal title2 = 17;
    static constexpr qreal title3 = 15;

    SymbolIcon(const QString& name, qreal pointSize, SymbolWeight weight, Ink ink, QSize frame,
               Qt::Alignment alignment = Qt::AlignCenter, QWidget* parent = nullptr);

    QString name() const { return name_; }
    Ink ink() const { return ink_; }
    void setSymbol(const QString& name, Ink ink);

    // Where the symbol's square lies in a frame of `frame`.
    static QRectF placement(QSizeF frame, qreal pointSize, Qt::Alignment alignment);

    QSize sizeHint() const override { return frame_; }
    QSize minimumSizeHint() const override { return frame_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString name_;
    qreal pointSize_;
    SymbolWeight weight_;
    Ink ink_;
    QSize frame_;
    Qt::Alignment alignment_;
};

}  // namespace pellucine
