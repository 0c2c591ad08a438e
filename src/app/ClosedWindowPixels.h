#pragma once

#include <QObject>

class QWidget;

namespace pellucine {

// Gives back the pixels behind a window the program keeps while it is closed: a hidden window
// still holds a buffer of its full size (in the X server's shared memory), for as long as it
// lives. Once the window is hidden by the program or the user, and is still hidden when control
// is back in the event loop, its buffer shrinks to one pixel; showing the window again paints
// it whole at its size. Belongs to the window. Main thread.
class ClosedWindowPixels final : public QObject {
    Q_OBJECT

  public:
    static void install(QWidget& window);

    // Shrinks the hidden `window`'s buffer; nothing for a shown window or one never painted.
    static void release(QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit ClosedWindowPixels(QWidget& window);
};

}  // namespace pellucine
