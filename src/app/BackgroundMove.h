#pragma once

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <functional>
#include <optional>

class QWidget;
class QWindow;

namespace pellucine {

// Lets the user move a window by dragging its background: a left press that no widget inside
// the window took, followed by the pointer moving past the drag distance with the button still
// down, hands the move to the window manager. A click, however quick, moves nothing. Belongs to
// the window. Main thread.
class BackgroundMove final : public QObject {
    Q_OBJECT

  public:
    // Starts the window manager's move with the pointer at `pointer` (global); false when it
    // cannot.
    using StartMove = std::function<bool(QWindow& window, QPoint pointer)>;

    static void install(QWidget& window);
    // With `startMove` in place of the window manager's move.
    static void install(QWidget& window, StartMove startMove);

    // Whether a drag from `pressed` has gone far enough to move the window: the left button is
    // still down and the pointer is at least `dragDistance` away (Manhattan length).
    static bool movesWindow(QPointF pressed, QPointF now, bool leftButtonDown, int dragDistance);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    BackgroundMove(QWidget& window, StartMove startMove);

    StartMove startMove_;
    // Where the left press on the background was, until it is released or the move starts.
    std::optional<QPointF> pressed_;
};

}  // namespace pellucine
