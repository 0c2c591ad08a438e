#pragma once

#include <QAbstractButton>
#include <optional>

#include "design/TextBaseline.h"
#include "design/YardAccessible.h"
#include "preferences/KeyCombo.h"
#include "settings/HotkeyKeys.h"

namespace pellucine {

// The window-search hotkey recorder: at rest the stored combination as key caps and "Change";
// a click starts recording, and the next key press with Control, Option or Command is handed
// over as the new combination. Escape, a second click or the field leaving the screen ends
// recording with the combination unchanged. While recording, every key press sent to the
// program's windows is taken by the field and reaches nothing else. It registers nothing: the
// owner stores the combination and hands it back.
class HotkeyField final : public QAbstractButton, public HasTextBaseline, public AccessibleElement {
    Q_OBJECT

  public:
    static constexpr int fieldWidth = 304;
    static constexpr int fieldHeight = 34;
    static constexpr int minimumCapsWidth = 233;
    static constexpr int capsInset = 8;
    static constexpr int capSpacing = 4;
    static constexpr int captionInset = 10;
    static constexpr int promptInset = 11;
    static constexpr qreal borderWidth = 1.5;
    static constexpr qreal captionTracking = 1.2;
    static constexpr qreal restBorderOpacity = 0.5;
    static constexpr qreal disabledOpacity = 0.5;
    // Shift, Control, Option and Command: the bits a recorded combination keeps.
    static constexpr quint64 recordedModifiers = 0x1E0000;

    // What one key press does to a recording.
    struct Decision {
        enum class Kind { cancel, ignore, record };
        Kind kind = Kind::ignore;
        // For record: the new combination.
        KeyCombo combo;

        friend bool operator==(const Decision&, const Decision&) = default;
    };
    // Escape cancels whatever modifiers are held; a modifier or lock key on its own, a key no
    // combination can name, or a key without Control, Option or Command is ignored; anything
    // else is recorded with its Shift, Control, Option and Command bits only.
    static Decision decide(const HotkeyPress& press);

    static QString caption();
    static QString prompt();
    static QString restToolTip();
    static QString recordingToolTip();
    // "Window search hotkey, Shift Super Space".
    static QString accessibleLabel(const KeyCombo& combo);
    static QString accessibleLabel(const QStringList& keycapLabels);

    // Without a `keyboard`, key presses are read by their Qt keys and modifiers.
    explicit HotkeyField(const KeyCombo& combo, NativeKeyboard keyboard = {},
                         QWidget* parent = nullptr);
    ~HotkeyField() override;

    KeyCombo combo() const { return combo_; }
    // Names the keys as the keyboard's layout labels them; none: as a US keyboard does.
    void setLayoutKeyboard(const KeyboardState* keyboard);
    // Shows another stored combination; a recording goes on.
    void setCombo(const KeyCombo& combo);

    bool isRecording() const { return recording_; }
    bool isHovering() const { return hovering_; }
    void toggleRecording();
    void startRecording();
    void stopRecording();
    // Feeds one key press to the recording; ignored at rest.
    void handleKeyDown(const HotkeyPress& press);

    QSize sizeHint() const override { return {fieldWidth, fieldHeight}; }
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The baseline of the caption, centred in the field.
    int firstBaseline() const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::Button; }
    bool isAccessiblyPressable() const override { return true; }
    void accessiblePress() override { click(); }

  signals:
    // Once for each recorded combination.
    void onChange(pellucine::KeyCombo combo);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void restyle();
    QStringList caps() const;

    KeyCombo combo_;
    const KeyboardState* layoutKeyboard_ = nullptr;
    bool recording_ = false;
    bool hovering_ = false;
    // Key presses are being taken from the whole application.
    bool monitoring_ = false;
    // Makes the reader at the start of each recording; none: Qt keys only.
    NativeKeyboard keyboard_;
    // The keyboard as recording began, where the platform's can be read.
    NativeKeyReader reader_;
};

}  // namespace pellucine
