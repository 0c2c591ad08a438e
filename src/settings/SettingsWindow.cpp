#include "settings/SettingsWindow.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#include "design/Yard.h"
#include "settings/QtDialogHost.h"
#include "settings/SettingsView.h"

namespace pellucine {

SettingsWindow::SettingsWindow(AppModel& model,
                               const std::function<SettingsContext(DialogHost&)>& context,
                               Options options, QWidget* parent)
    : QWidget(parent, Qt::Window), ownDialogs_(std::make_unique<QtDialogHost>(this)) {
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose, false);
    Yard::setWindowGround(this);
    if (options.appearance != nullptr) {
        Yard::follow(this, *options.appearance);
    }
    DialogHost& dialogs = options.dialogs != nullptr ? *options.dialogs : *ownDialogs_;
    view_ = new SettingsView(model, context(dialogs));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setMinimumSize(width, height);
    resize(width, height);
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::present() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void SettingsWindow::keyPressEvent(QKeyEvent* event) {
    // Escape that no control inside took closes the window, as its close button does.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace pellucine
