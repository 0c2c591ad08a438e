#include "panels/QtPanelWindowSystem.h"

#include <QPointer>
#include <QWidget>

#include "panels/FloatingPanelHints.h"
#include "panels/PanelWindowHints.h"

namespace pellucine {

namespace {

class QtFloatingPanelHints final : public FloatingPanelHints {
  public:
    void prepare() override {}
    void apply(QWidget&) override {}
    void fillBackdrop(QWidget&, const QColor&) override {}
};

class QtPanelWindowHints final : public PanelWindowHints {
  public:
    explicit QtPanelWindowHints(QWidget& panel) : panel_(&panel) {}

    void applyBeforeMapping() override {}
    void requestFocus() override {
        if (!panel_) {
            return;
        }
        panel_->raise();
        panel_->activateWindow();
    }

  private:
    QPointer<QWidget> panel_;
};

}  // namespace

std::unique_ptr<FloatingPanelHints> QtPanelWindowSystem::floatingHints() const {
    return std::make_unique<QtFloatingPanelHints>();
}

std::unique_ptr<PanelWindowHints> QtPanelWindowSystem::windowHints(QWidget& panel) const {
    return std::make_unique<QtPanelWindowHints>(panel);
}

}  // namespace pellucine
