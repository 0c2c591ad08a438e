#include "diagnostics/ReportWindow.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

#include "design/Yard.h"
#include "diagnostics/ReportModel.h"
#include "diagnostics/ReportView.h"

namespace pellucine::ReportProblem {

namespace {

QPointer<ReportWindow>& current() {
    static QPointer<ReportWindow> window;
    return window;
}

std::unique_ptr<QWidget> contentFor(const std::shared_ptr<Model>& model) {
    if (model->config().content) {
        if (auto content = model->config().content(model)) {
            return content;
        }
    }
    return std::make_unique<ReportView>(model);
}

}  // namespace

ReportWindow::ReportWindow(std::shared_ptr<Model> model, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      model_(std::move(model)) {
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose, false);
    Yard::setWindowGround(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    content_ = contentFor(model_).release();
    layout->addWidget(content_);
    const bool custom = static_cast<bool>(model_->config().content);
    setFixedSize(custom ? model_->config().contentSize
                        : QSize(ReportView::width, ReportView::height));
    model_->setCloser([window = QPointer<ReportWindow>(this)] {
        if (window) {
            window->close();
        }
    });
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::centre() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

ReportWindow* currentWindow() {
    return current().data();
}

void openWindow(const Config& config, std::optional<Phase> phase, const Environment& environment) {
    QPointer<ReportWindow>& window = current();
    if (window && window->isVisible() && !phase) {
        window->raise();
        window->activateWindow();
        return;
    }
    if (window) {
        window->close();
        window->deleteLater();
        window.clear();
    }
    auto model = Model::create(config, environment, phase ? QString() : Model::draft());
    if (phase) {
        model->setPhase(*phase);
    }
    window = new ReportWindow(std::move(model));
    if (environment.appearance != nullptr) {
        Yard::follow(window, *environment.appearance);
    }
    window->centre();
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace pellucine::ReportProblem
