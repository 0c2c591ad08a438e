#include "design/NumberWell.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <charconv>

#include "design/WellFrame.h"
#include "design/Yard.h"
#include "design/YardAccessible.h"
#include "design/YardText.h"

namespace pellucine {
namespace {

// QLineEdit keeps this much room around its text inside its own edges.
constexpr int lineEditHorizontalMargin = 2;
constexpr int lineEditVerticalMargin = 1;

NumberWell::Range ordered(NumberWell::Range range) {
    if (range.lower > range.upper) {
        std::swap(range.lower, range.upper);
    }
    return range;
}

}  // namespace

class NumberWell::Field : public QLineEdit, public AccessibleElement {
    Q_OBJECT

  public:
    explicit Field(NumberWell* well) : well_(well) {
        Yard::installAccessibility();
        setFrame(false);
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setTextMargins(0, 0, 0, 0);
        setFont(Yard::readoutFont());
        setAccessibleName(well->label());
        const int lineHeight = fontMetrics().height();
        setFixedSize(fieldWidth + 2 * lineEditHorizontalMargin,
                     lineHeight + 2 * lineEditVerticalMargin);
    }

    QAccessible::Role accessibleRole() const override { return QAccessible::EditableText; }
    QString accessibleValue() const override { return well_->accessibleValue(); }

  protected:
    bool event(QEvent* event) override {
        if (Yard::restyles(event)) {
            restyle();
        }
        return QLineEdit::event(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
            case Qt::Key_Escape:
                well_->revert();
                event->accept();
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                well_->applyText();
                event->accept();
                return;
            default:
                QLineEdit::keyPressEvent(event);
        }
    }

    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        // A context menu over the field leaves the edit going.
        if (event->reason() != Qt::PopupFocusReason) {
            well_->applyText();
        }
    }

  private:
    void restyle() {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Text, Yard::palette(this).fore);
        palette.setColor(QPalette::Base, Qt::transparent);
        setPalette(palette);
    }

    NumberWell* well_;
};

NumberWell::NumberWell(qint64 value, Range range, const QString& unit, const QString& label,
                       QWidget* parent)
    : QWidget(parent),
      value_(value),
      range_(ordered(range)),
      unit_(unit),
      label_(label),
      field_(new Field(this)),
      well_(new WellFrame(field_)),
      unitText_(new YardText(unit, Yard::readoutFont(), &Yard::Palette::muted, false)) {
    well_->setContentsMargins(
        horizontalInset - lineEditHorizontalMargin, verticalInset - lineEditVerticalMargin,
        horizontalInset - lineEditHorizontalMargin, verticalInset - lineEditVerticalMargin);
    well_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    field_->setText(QString::number(value_));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(well_, 0, Qt::AlignVCenter);
    layout->addWidget(unitText_, 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusProxy(field_);
}

NumberWell::~NumberWell() = default;

NumberWell::Outcome NumberWell::applyText(QStringView text, qint64 value, Range range) {
    QString digits;
    for (const uint c : text.toUcs4()) {
        if (QChar::isNumber(c)) {
            const auto point = static_cast<char32_t>(c);
            digits.append(QString::fromUcs4(&point, 1));
        }
    }
    const QString unchanged = QString::number(value);
    if (digits.isEmpty()) {
        return {unchanged, std::nullopt};
    }
    const QByteArray ascii = digits.toLatin1();
    const bool onlyAscii =
        std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    qint64 parsed = 0;
    const auto [end, error] =
        std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), parsed, 10);
    if (!onlyAscii || error != std::errc() || end != ascii.constData() + ascii.size()) {
        return {unchanged, std::nullopt};
    }
    const qint64 n = std::min(range.upper, std::max(range.lower, parsed));
    return {QString::number(n), n != value ? std::optional<qint64>(n) : std::nullopt};
}

void NumberWell::setValue(qint64 value) {
    const bool moved = value != value_ || pending_.has_value();
    value_ = value;
    pending_.reset();
    if (moved && !field_->hasFocus()) {
        field_->setText(QString::number(value_));
    }
    if (moved) {
        Yard::announceValueChange(field_, accessibleValue());
    }
}

void NumberWell::setRange(Range range) {
    range_ = ordered(range);
}

QString NumberWell::text() const {
    return field_->text();
}

QLineEdit* NumberWell::field() const {
    return field_;
}

void NumberWell::applyText() {
    const Outcome outcome = applyText(field_->text(), current(), range_);
    if (field_->text() != outcome.text) {
        field_->setText(outcome.text);
    }
    if (outcome.commit) {
        pending_ = outcome.commit;
        emit commit(*outcome.commit);
    }
}

void NumberWell::revert() {
    field_->setText(QString::number(current()));
    field_->clearFocus();
}

QString NumberWell::accessibleValue() const {
    return QStringLiteral("%1 %2").arg(current()).arg(unit_);
}

int NumberWell::firstBaseline() const {
    // The well is the taller of the two, so it starts at the top.
    return verticalInset + field_->fontMetrics().ascent();
}

}  // namespace pellucine

#include "NumberWell.moc"
