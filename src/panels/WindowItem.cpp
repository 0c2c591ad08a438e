#include "panels/WindowItem.h"

#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QMouseEvent>

#include "panels/ControlButton.h"
#include "panels/GlanceMenu.h"

namespace pellucine {

namespace {

// The item as one button: its label, its location as the value, the press and named actions;
// the control buttons inside it are not listed.
class WindowItemInterface : public QAccessibleWidget {
  public:
    explicit WindowItemInterface(WindowItem* item)
        : QAccessibleWidget(item, QAccessible::Button), item_(item) {}

    QString text(QAccessible::Text t) const override {
        switch (t) {
            case QAccessible::Name:
                return item_->accessibleLabel();
            case QAccessible::Value:
                return item_->accessibleValue();
            case QAccessible::Description:
            case QAccessible::Help:
                return WindowItem::accessibleHint();
            default:
                return QAccessibleWidget::text(t);
        }
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + item_->accessibleActionNames();
    }
    void doAction(const QString& action) override {
        item_->performAccessibleAction(action == pressAction() ? QString() : action);
    }

  private:
    WindowItem* item_;
};

QAccessibleInterface* windowItemFactory(const QString&, QObject* object) {
    if (auto* item = qobject_cast<WindowItem*>(object)) {
        return new WindowItemInterface(item);
    }
    return nullptr;
}

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(windowItemFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace

WindowItem::WindowItem(State state, GlanceCallbacks callbacks, bool showsControls, bool compactRow,
                       QWidget* parent)
    : QWidget(parent), callbacks_(std::move(callbacks)), compactRow_(compactRow) {
    installAccessibility();
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    if (showsControls) {
        const QList<WindowCommand> commands = WindowCommands::controlButtons(state.window);
        for (qsizetype i = 0; i < commands.size(); ++i) {
            auto* button = new ControlButton(commands[i].symbol, commands[i].title,
                                             {24, 11, true, commands[i].destructive}, this);
            connect(button, &QAbstractButton::clicked, this, [this, i] {
                const WindowCommand command = WindowCommands::controlButtons(state_.window).at(i);
                callbacks_.perform(command.action, state_.window);
            });
            controls_.append(button);
        }
    }
    setState(std::move(state));
}

void WindowItem::setState(State state) {
    state_ = std::move(state);
    setToolTip(WindowCommands::displayTitle(state_.window));
    setAccessibleName(accessibleLabel());
    updateControls();
    if (menu_) {
        menu_->followWindow();
    }
    update();
}

bool WindowItem::showsLocation() const {
    return state_.unanswered || !WindowCommands::isPlainlyOnScreen(state_.window);
}

void WindowItem::updateControls() {
    const QList<WindowCommand> commands = WindowCommands::controlButtons(state_.window);
    for (qsizetype i = 0; i < controls_.size(); ++i) {
        controls_[i]->setSymbol(commands[i].symbol, commands[i].title);
    }
}

QStringList WindowItem::accessibleActionNames() const {
    QStringList names;
    for (const WindowCommand& action :
         WindowCommands::accessibilityActions(state_.window, compactRow_)) {
        names.append(action.title);
    }
    return names;
}

void WindowItem::performAccessibleAction(const QString& name) {
    if (name.isEmpty()) {
        callbacks_.select(state_.window);
        return;
    }
    for (const WindowCommand& action :
         WindowCommands::accessibilityActions(state_.window, compactRow_)) {
        if (action.title == name) {
            callbacks_.perform(action.action, state_.window);
            return;
        }
    }
}

void WindowItem::openMenu(const QPoint& globalPosition) {
    closeMenu();
    menu_ = GlanceMenu::forWindow([this] { return state_.window; }, callbacks_, this);
    menu_->popup(globalPosition);
}

void WindowItem::closeMenu() {
    if (menu_ && menu_->isVisible()) {
        menu_->close();
    }
}

void WindowItem::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    callbacks_.hover(state_.window);
}

void WindowItem::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    pressed_ = false;
    callbacks_.hover(std::nullopt);
}

void WindowItem::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void WindowItem::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool clicked = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (clicked) {
        // The callback may replace the whole glance; nothing here runs after it.
        callbacks_.select(state_.window);
    }
}

void WindowItem::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    openMenu(event->globalPos());
}

void WindowItem::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

}  // namespace pellucine
