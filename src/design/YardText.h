#pragma once

#include <QLabel>

#include "design/TextBaseline.h"
#include "design/YardPalette.h"

namespace pellucine {

// A plain text in one of the palette's colours, kept in that colour through scheme changes.
// A wrapping text takes as many lines as its width needs and is never cut vertically; a
// non-wrapping one stays on one line at its full width.
class YardText : public QLabel, public HasTextBaseline {
    Q_OBJECT

  public:
    using Ink = QColor Yard::Palette::*;

    YardText(const QString& text, const QFont& font, Ink ink = &Yard::Palette::fore,
             bool wraps = true, QWidget* parent = nullptr);

    Ink ink() const { return ink_; }
    void setInk(Ink ink);

    int firstBaseline() const override;

  protected:
    bool event(QEvent* event) override;

  private:
    void restyle();

    Ink ink_;
};

}  // namespace pellucine
