#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "design/TextBaseline.h"

namespace pellucine {

class KeyHint;
class YardText;

// The text side of a settings row: its label, then an optional hint and an optional key hint
// in the muted colour, 2 apart, each wrapping to the width it is given.
class RowText : public QWidget, public HasTextBaseline {
    Q_OBJECT

  public:
    static constexpr int spacing = 2;

    RowText(const QString& label, const std::optional<QString>& hint,
            const std::optional<QString>& keyHint, QWidget* parent = nullptr);

    YardText* label() const { return label_; }
    YardText* hint() const { return hint_; }
    KeyHint* keyHint() const { return keyHint_; }

    void setLabel(const QString& label);
    void setHint(const std::optional<QString>& hint);

    int firstBaseline() const override;

  private:
    YardText* label_;
    YardText* hint_;
    KeyHint* keyHint_ = nullptr;
};

}  // namespace pellucine
