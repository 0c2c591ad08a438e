#include "design/YardSelect.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

#include "base/Clock.h"
#include "design/Symbols.h"
#include "design/WellFrame.h"
#include "design/Yard.h"
#include "design/YardSelectList.h"

namespace pellucine {

// The window the list opens in: it closes on a click outside it, and that click does not
// reach the select again (which would open it once more).
class YardSelect::Popup : public QWidget {
  public:
    explicit Popup(YardSelect* select)
        : QWidget(select, Qt::Popup | Qt::FramelessWindowHint), select_(select) {
        setAttribute(Qt::WA_NoMouseReplay);
        setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(border, border, border, border);
    }

    static constexpr int border = 1;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const Yard::Palette& palette = Yard::palette(this);
        painter.fillRect(rect(), palette.sheet);
        Yard::strokeInside(painter, rect(), palette.cardBorder, border);
    }

    void hideEvent(QHideEvent* event) override {
        QWidget::hideEvent(event);
        select_->popupClosed();
    }

  private:
    YardSelect* select_;
};

YardSelect::YardSelect(const QString& label, const QList<SelectOption>& options,
                       const QVariant& selection, const QString& placeholder, qreal width,
                       QWidget* parent)
    : QAbstractButton(parent),
      options_(options),
      selection_(selection),
      placeholder_(placeholder),
      width_(static_cast<int>(std::ceil(std::max<qreal>(0, width)))),
      clock_(&systemContinuousClock()) {
    Yard::installAccessibility();
    setAccessibleName(label);
    setAccessibleDescription(accessibleHint());
    setFont(Yard::readoutFont());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] { setOpen(!isOpen()); });
}

YardSelect::~YardSelect() {
    // Closed while the select is whole, as closing reports back to it.
    delete popup_.data();
}

void YardSelect::setOptions(const QList<SelectOption>& options) {
    options_ = options;
    update();
    Yard::announceValueChange(this, accessibleValue());
}

void YardSelect::setSelection(const QVariant& selection) {
    selection_ = selection;
    update();
    Yard::announceValueChange(this, accessibleValue());
}

std::optional<QString> YardSelect::selectedTitle() const {
    if (!selection_.isValid()) {
        return std::nullopt;
    }
    for (const SelectOption& option : options_) {
        if (option.value == selection_) {
            return option.title;
        }
    }
    return std::nullopt;
}

void YardSelect::setOpen(bool open) {
    if (open == isOpen()) {
        return;
    }
    if (!open) {
        Popup* popup = popup_;
        popup_ = nullptr;
        list_ = nullptr;
        if (popup != nullptr) {
            popup->close();
        }
        update();
        return;
    }
    auto* popup = new Popup(this);
    auto* list = new YardSelectList(options_, selection_, width_, *clock_);
    popup->layout()->addWidget(list);
    connect(list, &YardSelectList::choose, this, &YardSelect::choose);
    connect(list, &YardSelectList::cancel, this, [this] { setOpen(false); });
    popup_ = popup;
    list_ = list;

    popup->adjustSize();
    QPoint place = mapToGlobal(QPoint(0, height() + popupGap));
    if (const QScreen* screen = this->screen()) {
        // Opens upwards when there is no room below.
        const QRect room = screen->availableGeometry();
        if (place.y() + popup->height() > room.bottom() + 1) {
            place.setY(mapToGlobal(QPoint(0, -popupGap - popup->height())).y());
        }
    }
    popup->move(place);
    popup->show();
    update();
}

void YardSelect::setClock(const ContinuousClock& clock) {
    clock_ = &clock;
}

QString YardSelect::accessibleHint() {
    return QStringLiteral("Opens a list to choose from");
}

int YardSelect::firstBaseline() const {
    const QFontMetrics metrics(font());
    return (wellHeight - metrics.height() + 1) / 2 + metrics.ascent();
}

QString YardSelect::accessibleValue() const {
    return selectedTitle().value_or(placeholder_);
}

void YardSelect::paintEvent(QPaintEvent*) {
    const ColorScheme scheme = Yard::scheme(this);
    const Yard::Palette& palette = Yard::palette(scheme);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    Yard::wellFrame(painter, bounds, scheme, isOpen());

    const qreal side = Symbols::side(chevronSize);
    const qreal chevronLeft = bounds.width() - horizontalPadding - side;
    Symbols::draw(painter, u"chevron.down",
                  QRectF(chevronLeft, (bounds.height() - side) / 2, side, side), chevronSize,
                  SymbolWeight::semibold, {palette.fore});

    const std::optional<QString> title = selectedTitle();
    const QRectF text(horizontalPadding, 0,
                      std::max<qreal>(0, chevronLeft - minimumGap - horizontalPadding),
                      bounds.height());
    painter.setFont(font());
    painter.setPen(title ? palette.fore : palette.muted);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QFontMetricsF(font()).elidedText(title.value_or(placeholder_), Qt::ElideMiddle,
                                                      text.width()));
}

void YardSelect::choose(const QVariant& value) {
    setOpen(false);
    emit onSelect(value);
}

void YardSelect::popupClosed() {
    popup_ = nullptr;
    list_ = nullptr;
    update();
}

}  // namespace pellucine
