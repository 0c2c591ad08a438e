#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>

namespace pellucine {

class RowText;

// A settings row: the label with its explanations on the left, taking the width that is left
// and wrapping, and the control on the right at its ideal width, 18 apart, both standing on the
// first text baseline.
class SettingRow : public QWidget {
    Q_OBJECT

  public:
    static constexpr int spacing = 18;

    // Takes ownership of `control`.
    SettingRow(const QString& label, const std::optional<QString>& hint,
               const std::optional<QString>& keyHint, QWidget* control, QWidget* parent = nullptr);
    SettingRow(const QString& label, QWidget* control, QWidget* parent = nullptr)
        : SettingRow(label, std::nullopt, std::nullopt, control, parent) {}

    RowText* text() const { return text_; }
    QWidget* control() const { return control_; }

  private:
    RowText* text_;
    QPointer<QWidget> control_;
};

// A row whose control stands under its label and hint, 7 below them.
class StackedRow : public QWidget {
    Q_OBJECT

  public:
    static constexpr int spacing = 7;

    // Takes ownership of `control`.
    StackedRow(const QString& label, const std::optional<QString>& hint, QWidget* control,
               QWidget* parent = nullptr);

    RowText* text() const { return text_; }
    QWidget* control() const { return control_; }

  private:
    RowText* text_;
    QPointer<QWidget> control_;
};

}  // namespace pellucine
