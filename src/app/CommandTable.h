#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

#include "app/ShellCommandTarget.h"
#include "platform/UrlOpener.h"

class QAction;
class QWidget;

namespace pellucine {

// The standard menu group a command belongs to.
enum class CommandGroup {
    applicationInformation,
    applicationSettings,
    applicationTermination,
    help
};

// One menu command, or a separator when it has no title.
struct Command {
    CommandGroup group = CommandGroup::applicationSettings;
    QString title;
    QKeySequence shortcut;
    std::function<void()> action;

    bool isSeparator() const { return title.isEmpty(); }
};

// The maker's website, opened from the Help group.
inline const QString studioName = QStringLiteral("Orrinvale");
inline const QUrl studioURL{QStringLiteral("https://orrinvale.com")};

struct CommandContext {
    // The running delegate, or null; every command but Quit does nothing without one.
    std::function<ShellCommandTarget*()> delegate;
    // Ends the application.
    std::function<void()> terminate;
    UrlOpener* urlOpener = nullptr;
    // The product's website.
    QUrl website;
};

// The program's commands in menu order.
QList<Command> applicationCommands(const CommandContext& context);

// Adds the commands to `window` as actions, so that their shortcuts work while it is active;
// the actions belong to the window.
QList<QAction*> installCommands(QWidget& window, const QList<Command>& commands);

}  // namespace pellucine
