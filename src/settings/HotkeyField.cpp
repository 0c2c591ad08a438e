#include "settings/HotkeyField.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

#include "base/KeyNames.h"
#include "design/KeyCap.h"
#include "design/Yard.h"

namespace pellucine {

namespace {

// Control, Option or Command: what makes a key press a combination.
constexpr quint64 commandingModifiers = 0x1C0000;

QFont captionFont() {
    QFont font = Yard::tracked(Yard::kickerFont(), HotkeyField::captionTracking);
    font.setCapitalization(QFont::AllUppercase);
    return font;
}

}  // namespace

HotkeyField::Decision HotkeyField::decide(const HotkeyPress& press) {
    if (press.keyCode == KeyCombo::escapeKeyCode) {
        return {Decision::Kind::cancel, {}};
    }
    const quint64 held = press.modifiers & recordedModifiers;
    if (press.modifierKey || !press.keyCode || (held & commandingModifiers) == 0) {
        return {Decision::Kind::ignore, {}};
    }
    return {Decision::Kind::record, KeyCombo{*press.keyCode, held}};
}

QString HotkeyField::caption() {
    return QStringLiteral("Change");
}

QString HotkeyField::prompt() {
    return QStringLiteral("Press the new keys, Esc to keep");
}

QString HotkeyField::restToolTip() {
    return QStringLiteral("Click to record a new combination.");
}

QString HotkeyField::recordingToolTip() {
    return QStringLiteral("Press the combination, or Escape to keep the current one.");
}

QString HotkeyField::accessibleLabel(const KeyCombo& combo) {
    return accessibleLabel(combo.keycapLabels());
}

QString HotkeyField::accessibleLabel(const QStringList& keycapLabels) {
    return QStringLiteral("Window search hotkey, ") + KeyNames::spoken(keycapLabels);
}

HotkeyField::HotkeyField(const KeyCombo& combo, NativeKeyboard keyboard, QWidget* parent)
    : QAbstractButton(parent), combo_(combo), keyboard_(std::move(keyboard)) {
    Yard::installAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleDescription(QStringLiteral("Activate, then press the new combination."));
    connect(this, &QAbstractButton::clicked, this, &HotkeyField::toggleRecording);
    restyle();
}

HotkeyField::~HotkeyField() {
    stopRecording();
}

void HotkeyField::setCombo(const KeyCombo& combo) {
    if (combo == combo_) {
        return;
    }
    combo_ = combo;
    restyle();
}

void HotkeyField::toggleRecording() {
    if (recording_) {
        stopRecording();
    } else {
        startRecording();
    }
}

void HotkeyField::startRecording() {
    if (recording_ || !isEnabled()) {
        return;
    }
    recording_ = true;
    // The keyboard may have been remapped since the last recording.
    reader_ = keyboard_ ? keyboard_() : NativeKeyReader();
    qApp->installEventFilter(this);
    monitoring_ = true;
    restyle();
}

void HotkeyField::stopRecording() {
    if (monitoring_) {
        qApp->removeEventFilter(this);
        monitoring_ = false;
    }
    if (recording_) {
        recording_ = false;
        restyle();
    }
}

void HotkeyField::handleKeyDown(const HotkeyPress& press) {
    if (!recording_) {
        return;
    }
    const Decision decision = decide(press);
    switch (decision.kind) {
        case Decision::Kind::cancel:
            stopRecording();
            return;
        case Decision::Kind::ignore:
            return;
        case Decision::Kind::record:
            emit onChange(decision.combo);
            stopRecording();
            return;
    }
}

bool HotkeyField::eventFilter(QObject* watched, QEvent* event) {
    if (!recording_) {
        return QAbstractButton::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // No shortcut of any window fires while recording; the press comes as a key event.
            event->accept();
            return true;
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            event->accept();
            handleKeyDown(HotkeyKeys::translate(*key, reader_));
            return true;
        }
        default:
            return QAbstractButton::eventFilter(watched, event);
    }
}

void HotkeyField::hideEvent(QHideEvent* event) {
    stopRecording();
    QAbstractButton::hideEvent(event);
}

void HotkeyField::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        stopRecording();
    }
    QAbstractButton::changeEvent(event);
}

void HotkeyField::enterEvent(QEnterEvent* event) {
    hovering_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void HotkeyField::leaveEvent(QEvent* event) {
    hovering_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void HotkeyField::restyle() {
    setToolTip(recording_ ? recordingToolTip() : restToolTip());
    setAccessibleName(accessibleLabel(caps()));
    update();
}

void HotkeyField::setLayoutKeyboard(const KeyboardState* keyboard) {
    layoutKeyboard_ = keyboard;
    restyle();
}

QStringList HotkeyField::caps() const {
    return layoutKeyboard_ ? combo_.keycapLabels(*layoutKeyboard_) : combo_.keycapLabels();
}

int HotkeyField::firstBaseline() const {
    const QFontMetrics metrics(captionFont());
    return (fieldHeight - metrics.height() + 1) / 2 + metrics.ascent();
}

void HotkeyField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(disabledOpacity);
    }
    const Yard::Palette& palette = Yard::palette(this);
    QColor border = palette.fore;
    if (recording_ || hovering_) {
        border = palette.accent;
    } else {
        border.setAlphaF(static_cast<float>(border.alphaF() * restBorderOpacity));
    }
    const QRectF frame(0, 0, fieldWidth, fieldHeight);
    painter.fillRect(frame, recording_ ? palette.accent : palette.ground);
    Yard::strokeInside(painter, frame, border, borderWidth);

    const QFont font = captionFont();
    painter.setFont(font);
    if (recording_) {
        painter.setPen(palette.onAccent);
        painter.drawText(frame.adjusted(promptInset, 0, -promptInset, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, prompt());
        return;
    }
    const QFontMetricsF metrics(font);
    const qreal captionWidth = metrics.horizontalAdvance(caption().toUpper()) + 2 * captionInset;
    const qreal capsWidth = fieldWidth - captionWidth - 1;
    painter.setPen(hovering_ ? palette.accentType : palette.muted);
    painter.drawText(QRectF(capsWidth + 1, 0, captionWidth, fieldHeight), Qt::AlignCenter,
                     caption());
    painter.fillRect(QRectF(capsWidth, 0, 1, fieldHeight), border);

    const QStringList labels = caps();
    qreal total = 0;
    QList<QSize> sizes;
    for (const QString& label : labels) {
        sizes.append(KeyCap::size(label, false));
        total += sizes.last().width();
    }
    total += capSpacing * std::max<qsizetype>(0, labels.size() - 1);
    qreal x = std::max<qreal>(capsInset, (capsWidth - total) / 2);
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const QSize size = sizes[i];
        const QRectF cap(x, (fieldHeight - size.height()) / 2.0, size.width(), size.height());
        KeyCap::paint(painter, cap, labels[i], palette, false);
        x += size.width() + capSpacing;
    }
}

}  // namespace pellucine
