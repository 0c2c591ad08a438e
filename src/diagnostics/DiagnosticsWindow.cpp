#include "diagnostics/DiagnosticsWindow.h"

#include <QVBoxLayout>

#include "design/Yard.h"

namespace pellucine {

DiagnosticsWindow::DiagnosticsWindow(DiagnosticsView::Context context, QWidget* parent)
    : QWidget(parent, Qt::Window), view_(new DiagnosticsView(context)) {
    setWindowTitle(DiagnosticsView::windowTitle);
    setAttribute(Qt::WA_DeleteOnClose, false);
    Yard::setWindowGround(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setMinimumSize(DiagnosticsView::minimumWidth, DiagnosticsView::minimumHeight);
}

void DiagnosticsWindow::present() {
    resize(presentedSize);
    show();
    raise();
    activateWindow();
}

}  // namespace pellucine
