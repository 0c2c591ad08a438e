#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <optional>

namespace pellucine {

// The floating window of window search: frameless, above other windows, out of the taskbar,
// and able to take the keyboard. Escape pressed in it calls `onCancel`. Losing the keyboard
// calls `onResignKey`, but only after the panel had it in the current showing, so a late
// focus-out left over from an earlier showing never closes a panel just opened again.
// Its one content widget fills it.
class WindowSearchPanel final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int initialWidth = 660;
    static constexpr int initialHeight = 200;

    explicit WindowSearchPanel(QWidget* parent = nullptr);

    void setOnCancel(std::function<void()> onCancel) { onCancel_ = std::move(onCancel); }
    void setOnResignKey(std::function<void()> onResignKey) {
        onResignKey_ = std::move(onResignKey);
    }
    // Whether the panel has had the keyboard since it was last shown.
    bool hasBeenKey() const { return hasBeenKey_; }

    void setContent(QWidget* content);
    // Moves and sizes the panel. A panel shown but not yet on screen takes the geometry once it
    // is: a window manager still taking the window in may lose a move asked of it meanwhile.
    void placeAt(const QRect& geometry);

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    std::function<void()> onCancel_;
    std::function<void()> onResignKey_;
    bool hasBeenKey_ = false;
    QPointer<QWidget> content_;
    std::optional<QRect> pendingGeometry_;
};

}  // namespace pellucine
