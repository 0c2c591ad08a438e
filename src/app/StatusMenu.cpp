#include "app/StatusMenu.h"

#include <QKeyEvent>
#include <QMenu>
#include <QWidgetAction>

#include "app/MenuHeader.h"
#include "app/MenuRow.h"
#include "design/Yard.h"

namespace pellucine {

QKeySequence menuShortcut(const MenuKeyEquivalent& key) {
    if (key.key.size() != 1) {
        return {};
    }
    Qt::KeyboardModifiers modifiers;
    if ((key.modifiers & KeyCombo::shift) != 0) {
        modifiers |= Qt::ShiftModifier;
    }
    if ((key.modifiers & KeyCombo::control) != 0) {
        modifiers |= Qt::ControlModifier;
    }
    if ((key.modifiers & KeyCombo::option) != 0) {
        modifiers |= Qt::AltModifier;
    }
    if ((key.modifiers & KeyCombo::command) != 0) {
        modifiers |= Qt::MetaModifier;
    }
    // Latin letters and digits have key codes equal to their upper-case character.
    const char16_t character = key.key.at(0).toUpper().unicode();
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(character)));
}

// The popup itself: performs a row whose key equivalent was pressed.
class StatusMenu::Popup final : public QMenu {
  public:
    QHash<int, QAction*> shortcuts;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QKeyCombination pressed(event->modifiers() & ~Qt::KeypadModifier,
                                      static_cast<Qt::Key>(event->key()));
        QAction* action = shortcuts.value(pressed.toCombined());
        if (action != nullptr && action->isEnabled() && action->isVisible()) {
            hide();
            action->trigger();
            return;
        }
        QMenu::keyPressEvent(event);
    }
};

namespace {

QPalette menuPalette(const Yard::Palette& yard, QPalette palette) {
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        palette.setColor(role, yard.sheet);
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, yard.fore);
    }
    palette.setColor(QPalette::Highlight, yard.accent);
    palette.setColor(QPalette::HighlightedText, yard.onAccent);
    return palette;
}

}  // namespace

StatusMenu::StatusMenu(Opening opening, QObject* parent)
    : QObject(parent), menu_(std::make_unique<Popup>()), opening_(std::move(opening)) {
    connect(menu_.get(), &QMenu::aboutToShow, this, [this] {
        if (opening_) {
            const auto [model, scheme] = opening_();
            render(model, scheme);
        }
    });
}

StatusMenu::~StatusMenu() = default;

QMenu& StatusMenu::menu() {
    return *menu_;
}

void StatusMenu::render(const StatusMenuModel& model, ColorScheme scheme) {
    Popup& popup = *menu_;
    popup.clear();
    actions_.clear();
    popup.shortcuts.clear();
    popup.setPalette(menuPalette(Yard::palette(scheme), popup.palette()));
    const int width = statusMenuWidth(model.rows);
    const QSize rowSize(width, static_cast<int>(MenuRowGeometry::rowHeight));
    for (const StatusMenuRow& row : model.rows) {
        QAction* action = nullptr;
        if (row.isSeparator()) {
            action = popup.addSeparator();
        } else {
            auto* widgetAction = new QWidgetAction(&popup);
            if (row.item == StatusMenuItem::header) {
                widgetAction->setDefaultWidget(new MenuHeader(width, row.content.trailing.keys));
            } else {
                widgetAction->setDefaultWidget(new MenuRow(row.content, rowSize));
                widgetAction->setText(row.content.title);
                const StatusMenuItem item = row.item;
                connect(widgetAction, &QAction::triggered, this,
                        [this, item] { emit triggered(item); });
            }
            widgetAction->setEnabled(row.content.enabled);
            if (row.keyEquivalent) {
                const QKeySequence sequence = menuShortcut(*row.keyEquivalent);
                if (!sequence.isEmpty()) {
                    popup.shortcuts.insert(sequence[0].toCombined(), widgetAction);
                }
            }
            popup.addAction(widgetAction);
            action = widgetAction;
        }
        action->setVisible(row.visible);
        if (row.item != StatusMenuItem::separator) {
            actions_.insert(row.item, action);
        }
    }
    Yard::setScheme(&popup, scheme);
}

void StatusMenu::popup(const QPoint& position) {
    menu_->popup(position);
}

}  // namespace pellucine
