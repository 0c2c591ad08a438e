#pragma once

#include <QWidget>

#include "diagnostics/DiagnosticsView.h"

namespace pellucine {

// The diagnostics window around its page. Closing it only hides it, so the program keeps one
// and presents it again.
class DiagnosticsWindow final : public QWidget {
    Q_OBJECT

  public:
    static constexpr QSize presentedSize{760, 560};

    explicit DiagnosticsWindow(DiagnosticsView::Context context, QWidget* parent = nullptr);

    DiagnosticsView* view() const { return view_; }

    // Shows the window at its presented size and brings it to the front.
    void present();

  private:
    DiagnosticsView* view_;
};

}  // namespace pellucine
