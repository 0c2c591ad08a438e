#pragma once

#include <QWidget>
#include <functional>

namespace pellucine {

// The floating window of window search: frameless, above other windows, out of the taskbar,
// and able to take the keyboard. Escape pressed in it calls `onCancel`. Losing the keyboard
// calls `onResignKey`, but only after the panel had it in the current showing, so a late
// focus-out left over from an earlier showing never closes a panel just opened again.
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

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    std::function<void()> onCancel_;
    std::function<void()> onResignKey_;
    bool hasBeenKey_ = false;
};

}  // namespace pellucine
