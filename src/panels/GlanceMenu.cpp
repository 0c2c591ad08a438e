#include "panels/GlanceMenu.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QStyleOptionMenuItem>

#include "design/Symbols.h"
#include "design/Yard.h"
#include "panels/GlanceStyle.h"

namespace pellucine {

namespace {

constexpr const char* destructiveProperty = "pellucineDestructive";
constexpr qreal menuSymbolSize = 13;

void markDestructive(QAction* action, bool destructive) {
    action->setProperty(destructiveProperty, destructive);
}

}  // namespace

GlanceMenu::GlanceMenu(QWidget* parent) : QMenu(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(GlanceStyle::bodyFont());
    restyle();
}

QString GlanceMenu::entryText(const QString& title) {
    QString text = title;
    return text.replace(u'&', QStringLiteral("&&"));
}

bool GlanceMenu::isDestructive(const QAction* action) {
    return action != nullptr && action->property(destructiveProperty).toBool();
}

QAction* GlanceMenu::addCommand(const WindowCommand& command, const GlanceCallbacks& callbacks) {
    QAction* action = addAction(entryText(command.title));
    if (!command.symbol.isEmpty()) {
        const QImage image = Symbols::image(command.symbol, menuSymbolSize, SymbolWeight::regular,
                                            {GlanceStyle::primary(Yard::palette(this))}, 2.0);
        action->setIcon(QIcon(QPixmap::fromImage(image)));
    }
    markDestructive(action, command.destructive);
    action->setData(QVariant::fromValue(command.action));
    connect(action, &QAction::triggered, this, [this, action, callbacks] {
        callbacks.perform(action->data().value<WindowAction>(), window_());
    });
    return action;
}

GlanceMenu* GlanceMenu::forWindow(std::function<WindowDescriptor()> window,
                                  const GlanceCallbacks& callbacks, QWidget* parent) {
    auto* menu = new GlanceMenu(parent);
    menu->window_ = std::move(window);
    for (const WindowMenuEntry& entry : WindowCommands::windowMenu(menu->window_())) {
        switch (entry.kind) {
            case WindowMenuEntry::Kind::command:
                menu->addCommand(entry.command, callbacks);
                break;
            case WindowMenuEntry::Kind::separator:
                menu->addSeparator();
                break;
            case WindowMenuEntry::Kind::submenu: {
                auto* submenu = new GlanceMenu(menu);
                submenu->setAttribute(Qt::WA_DeleteOnClose, false);
                submenu->window_ = menu->window_;
                submenu->setTitle(entryText(entry.command.title));
                for (const WindowCommand& command : entry.submenu) {
                    submenu->addCommand(command, callbacks);
                }
                menu->addMenu(submenu);
                break;
            }
        }
    }
    return menu;
}

void GlanceMenu::followWindow() {
    if (!window_) {
        return;
    }
    // The entries never change in number or kind, only in text and action.
    const QList<WindowMenuEntry> entries = WindowCommands::windowMenu(window_());
    const QList<QAction*> shown = actions();
    for (qsizetype i = 0; i < std::min(entries.size(), shown.size()); ++i) {
        if (entries[i].kind == WindowMenuEntry::Kind::command) {
            shown[i]->setText(entryText(entries[i].command.title));
            shown[i]->setData(QVariant::fromValue(entries[i].command.action));
        }
    }
}

void GlanceMenu::followApplication(int windowCount) {
    if (window_) {
        return;
    }
    const QList<ApplicationMenuEntry> entries = WindowCommands::applicationMenu(windowCount);
    const QList<QAction*> shown = actions();
    for (qsizetype i = 0; i < std::min(entries.size(), shown.size()); ++i) {
        if (entries[i].action) {
            shown[i]->setText(entryText(entries[i].title));
        }
    }
}

GlanceMenu* GlanceMenu::forApplication(int windowCount, qint32 processIdentifier,
                                       const GlanceCallbacks& callbacks, QWidget* parent) {
    auto* menu = new GlanceMenu(parent);
    for (const ApplicationMenuEntry& entry : WindowCommands::applicationMenu(windowCount)) {
        if (!entry.action) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(entryText(entry.title));
        markDestructive(action, entry.destructive);
        connect(action, &QAction::triggered, menu,
                [callbacks, processIdentifier, what = *entry.action] {
                    callbacks.performOnApplication(what, processIdentifier);
                });
    }
    return menu;
}

void GlanceMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    if (isDestructive(action)) {
        const QColor red = GlanceStyle::destructive(Yard::scheme(this));
        option->palette.setColor(QPalette::Text, red);
        option->palette.setColor(QPalette::WindowText, red);
        option->palette.setColor(QPalette::ButtonText, red);
    }
}

bool GlanceMenu::event(QEvent* event) {
    if (event->type() == Yard::schemeChangeEvent()) {
        restyle();
    }
    return QMenu::event(event);
}

void GlanceMenu::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void GlanceMenu::restyle() {
    const Yard::Palette& colours = Yard::palette(this);
    QPalette p = palette();
    p.setColor(QPalette::Window, colours.sheet);
    p.setColor(QPalette::Base, colours.sheet);
    p.setColor(QPalette::Text, colours.fore);
    p.setColor(QPalette::WindowText, colours.fore);
    p.setColor(QPalette::ButtonText, colours.fore);
    p.setColor(QPalette::Highlight, colours.accent);
    p.setColor(QPalette::HighlightedText, colours.onAccent);
    p.setColor(QPalette::Disabled, QPalette::Text, colours.muted);
    p.setColor(QPalette::Disabled, QPalette::WindowText, colours.muted);
    setPalette(p);
}

}  // namespace pellucine
