#pragma once

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

namespace pellucine::testing {

// Every text a user can meet in `window` and its shown children: titles, labels, button and
// menu texts, placeholders, tooltips, and what assistive technologies read (names, values,
// descriptions). Empty texts are left out; a text met twice is listed twice.
inline QStringList shownTexts(QWidget* window) {
    QStringList texts;
    const auto add = [&texts](const QString& text) {
        if (!text.trimmed().isEmpty()) {
            texts << text;
        }
    };
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    add(window->windowTitle());
    for (QWidget* widget : widgets) {
        if (!widget->isVisible()) {
            continue;
        }
        add(widget->toolTip());
        add(widget->accessibleName());
        add(widget->accessibleDescription());
        if (const auto* label = qobject_cast<QLabel*>(widget)) {
            add(label->text());
        }
        if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
            add(button->text());
        }
        if (const auto* line = qobject_cast<QLineEdit*>(widget)) {
            add(line->placeholderText());
        }
        if (const auto* editor = qobject_cast<QPlainTextEdit*>(widget)) {
            add(editor->placeholderText());
        }
        for (const QAction* action : widget->actions()) {
            if (action->isVisible()) {
                add(action->text());
                add(action->toolTip());
            }
        }
        if (QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget)) {
            for (QAccessible::Text kind :
                 {QAccessible::Name, QAccessible::Value, QAccessible::Description}) {
                add(accessible->text(kind));
            }
        }
    }
    return texts;
}

}  // namespace pellucine::testing
