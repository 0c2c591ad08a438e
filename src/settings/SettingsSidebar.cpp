#include "settings/SettingsSidebar.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "design/KeyCap.h"
#include "design/KeyHint.h"
#include "design/Yard.h"

namespace pellucine {

namespace {

// Text in the rail's ink at an opacity, restyled with the scheme.
class RailText final : public QLabel {
  public:
    RailText(const QString& text, const QFont& font, qreal opacity, bool wraps)
        : QLabel(text), opacity_(opacity) {
        setFont(font);
        setWordWrap(wraps);
        restyle();
    }

  protected:
    bool event(QEvent* event) override {
        if (Yard::restyles(event)) {
            restyle();
        }
        return QLabel::event(event);
    }

  private:
    void restyle() {
        QColor ink = Yard::palette(this).railInk;
        ink.setAlphaF(static_cast<float>(ink.alphaF() * opacity_));
        QPalette palette = this->palette();
        palette.setColor(QPalette::WindowText, ink);
        setPalette(palette);
    }

    qreal opacity_;
};

// A one-point rule in the rail's ink.
class RailRule final : public QWidget {
  public:
    RailRule() { setFixedHeight(1); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QColor ink = Yard::palette(this).railInk;
        ink.setAlphaF(static_cast<float>(ink.alphaF() * SettingsSidebar::footerRuleOpacity));
        QPainter(this).fillRect(rect(), ink);
    }
};

QWidget* header() {
    auto* header = new QWidget;
    header->setAccessibleName(QStringLiteral("PELLUCINE"));
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(18, 34, 18, 16);
    row->setSpacing(8);
    auto* icon = new QLabel;
    icon->setFixedSize(SettingsSidebar::iconSize, SettingsSidebar::iconSize);
    icon->setScaledContents(true);
    icon->setPixmap(QApplication::windowIcon().pixmap(SettingsSidebar::iconSize * 2));
    row->addWidget(icon);
    QFont nameFont =
        Yard::tracked(Yard::font(SettingsSidebar::nameSize, QFont::Black,
                                 Yard::FontDesign::standard, Yard::FontWidth::condensed),
                      SettingsSidebar::nameTracking);
    nameFont.setCapitalization(QFont::AllUppercase);
    row->addWidget(new RailText(QStringLiteral("PELLUCINE"), nameFont, 1.0, false));
    row->addStretch(1);
    return header;
}

QWidget* footer(const SwitcherBinding& switcherKeys) {
    auto* footer = new QWidget;
    auto* column = new QVBoxLayout(footer);
    column->setContentsMargins(18, 10, 18, 18);
    column->setSpacing(9);
    column->addWidget(new RailRule);

    auto* legend = new QWidget;
    auto* legendColumn = new QVBoxLayout(legend);
    legendColumn->setContentsMargins(0, 0, 0, 0);
    legendColumn->setSpacing(6);
    legendColumn->addWidget(new RailText(SettingsSidebar::legendCaption(),
                                         Yard::tracked(Yard::kickerFont(), 1.4),
                                         SettingsSidebar::footerInkOpacity, false));
    auto* caps = new QHBoxLayout;
    caps->setSpacing(4);
    for (const KeyHint::Token& token : KeyHint::tokens(switcherKeys.caps())) {
        if (token.kind == KeyHint::Token::Kind::key) {
            caps->addWidget(new KeyCap(token.text, true, false));
        }
    }
    caps->addStretch(1);
    legendColumn->addLayout(caps);
    column->addWidget(legend);

    column->addWidget(new RailRule);
    column->addWidget(new RailText(SettingsSidebar::footerNote(), Yard::keyFont(),
                                   SettingsSidebar::footerInkOpacity, true));
    return footer;
}

}  // namespace

SettingsSidebar::SettingsSidebar(const SwitcherBinding& switcherKeys, QWidget* parent)
    : QWidget(parent) {
    setFixedWidth(width);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header());
    column->addSpacing(10);
    for (const SettingsView::Bay bay : SettingsView::bays()) {
        auto* row = new BayRow(bay);
        row->setSelected(bay == current_);
        connect(row, &QAbstractButton::clicked, this, [this, bay] { emit chosen(bay); });
        rows_.append(row);
        column->addWidget(row);
    }
    column->addStretch(1);
    column->addSpacing(20);
    column->addWidget(footer(switcherKeys));
}

void SettingsSidebar::setCurrent(SettingsView::Bay bay) {
    current_ = bay;
    bool focusLeftBehind = false;
    for (BayRow* row : rows_) {
        row->setSelected(row->bay() == bay);
        focusLeftBehind = focusLeftBehind || (row->hasFocus() && row->bay() != bay);
    }
    // The focus follows the current row, so that no ring stays on the row left.
    if (focusLeftBehind) {
        if (BayRow* current = row(bay)) {
            current->setFocus(Qt::OtherFocusReason);
        }
    }
}

SettingsSidebar::BayRow* SettingsSidebar::row(SettingsView::Bay bay) const {
    for (BayRow* row : rows_) {
        if (row->bay() == bay) {
            return row;
        }
    }
    return nullptr;
}

QString SettingsSidebar::legendCaption() {
    return QStringLiteral("Shows Your Windows").toUpper();
}

QString SettingsSidebar::footerNote() {
    return QStringLiteral("Pictures stay in memory. Nothing saved to disk.");
}

void SettingsSidebar::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), Yard::palette(this).rail);
}

// ---- BayRow ----------------------------------------------------------------------------------

bool SettingsSidebar::BayRow::showsFocus() const {
    return hasFocus() && (isSelected() || keyboardFocus_);
}

void SettingsSidebar::BayRow::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    keyboardFocus_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                     reason == Qt::ShortcutFocusReason;
    SelectableButton::focusInEvent(event);
}

SettingsSidebar::BayRow::BayRow(SettingsView::Bay bay, QWidget* parent)
    : SelectableButton(SettingsView::title(bay), parent), bay_(bay) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QFont SettingsSidebar::BayRow::titleFont() const {
    return Yard::font(rowTitleSize, isSelected() ? QFont::DemiBold : QFont::Normal);
}

QSize SettingsSidebar::BayRow::sizeHint() const {
    const QFontMetrics metrics(titleFont());
    return {SettingsSidebar::width, metrics.height() + 2 * verticalPadding};
}

void SettingsSidebar::BayRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Yard::Palette& palette = Yard::palette(this);
    const bool current = isSelected();
    if (current) {
        painter.fillRect(rect(), palette.railSelect);
    }
    QColor ink = current ? palette.railSelectInk : palette.railInk;
    if (!current) {
        ink.setAlphaF(static_cast<float>(ink.alphaF() * unselectedInkOpacity));
    }
    painter.setPen(ink);
    painter.setFont(titleFont());
    const QRect textRect = rect().adjusted(horizontalPadding, 0, -horizontalPadding, 0);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text());
    if (showsFocus()) {
        painter.setPen(QPen(palette.railSelectInk, 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

}  // namespace pellucine
