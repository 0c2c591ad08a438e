#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "design/TextBaseline.h"

class QLineEdit;

namespace pellucine {

class WellFrame;
class YardText;

// A field for a whole number within a range, such as a delay in milliseconds: a short
// right-aligned well followed by a unit. The user types freely; on Return or when the field
// loses focus the digits are read, clamped into the range, and `commit` is emitted when the
// number differs from the current value. Escape restores the value. The owner stores committed
// values and hands them back with `setValue`; a value handed back while the user types does not
// disturb the typing.
class NumberWell : public QWidget, public HasTextBaseline {
    Q_OBJECT

  public:
    struct Range {
        qint64 lower = 0;
        qint64 upper = 0;  // both included
    };
    struct Outcome {
        QString text;                  // what the field shows afterwards
        std::optional<qint64> commit;  // the new value, when there is one
    };

    static constexpr int spacing = 7;
    static constexpr int fieldWidth = 46;
    static constexpr int horizontalInset = 8;
    static constexpr int verticalInset = 5;

    NumberWell(qint64 value, Range range, const QString& unit, const QString& label,
               QWidget* parent = nullptr);
    ~NumberWell() override;

    // The text rule: keep the numeric characters, read them as an ASCII decimal number (text
    // that gives none, or too large a one, shows `value` again), clamp into `range`, and commit
    // when the result differs from `value`.
    static Outcome applyText(QStringView text, qint64 value, Range range);

    // The owner's value. Setting it replaces the text unless the field is being edited.
    qint64 value() const { return value_; }
    void setValue(qint64 value);
    Range range() const { return range_; }
    // A range given upside down is turned round.
    void setRange(Range range);
    QString unit() const { return unit_; }
    QString label() const { return label_; }

    QString text() const;
    QLineEdit* field() const;
    WellFrame* well() const { return well_; }

    // What Return and the loss of focus do.
    void applyText();
    // What Escape does: show the value again and leave the field.
    void revert();

    // The spoken value: the number and its unit.
    QString accessibleValue() const;

    int firstBaseline() const override;

  signals:
    void commit(qint64 value);

  private:
    class Field;

    // The value the text is measured against: the last number committed until the owner hands
    // a value back, so that one edit commits once even when the owner stores it later.
    qint64 current() const { return pending_.value_or(value_); }

    qint64 value_;
    std::optional<qint64> pending_;
    Range range_;
    QString unit_;
    QString label_;
    Field* field_;
    WellFrame* well_;
    YardText* unitText_;
};

}  // namespace pellucine
