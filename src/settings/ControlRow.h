#pragma once

#include <QWidget>

#include "design/TextBaseline.h"
#include "design/YardPalette.h"

class QHBoxLayout;

namespace pellucine {

// Controls side by side as one control of a settings row, vertically centred; the row stands on
// the first baseline of its first control.
class ControlRow final : public QWidget, public HasTextBaseline {
    Q_OBJECT

  public:
    explicit ControlRow(int spacing, QWidget* parent = nullptr);

    // Takes ownership.
    void add(QWidget* control);
    void addStretch();

    int firstBaseline() const override;

  private:
    QHBoxLayout* layout_;
    QWidget* first_ = nullptr;
};

// A symbol drawn at a text's size in one of the palette's colours.
class SymbolMark final : public QWidget {
    Q_OBJECT

  public:
    using Ink = QColor Yard::Palette::*;

    SymbolMark(const QString& name, const QFont& font, Ink ink, QWidget* parent = nullptr);

    QString name() const { return name_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString name_;
    Ink ink_;
};

}  // namespace pellucine
