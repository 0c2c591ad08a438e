#pragma once

#include <QObject>

class QWidget;

namespace pellucine {

// Lets the user move a window by dragging its background: a left press that no widget inside
// the window took hands the move to the window manager. Belongs to the window. Main thread.
class BackgroundMove final : public QObject {
    Q_OBJECT

  public:
    static void install(QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit BackgroundMove(QWidget& window);
};

}  // namespace pellucine
