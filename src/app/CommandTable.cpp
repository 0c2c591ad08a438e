#include "app/CommandTable.h"

#include <QAction>
#include <QWidget>

#include "design/OpenFailureNotice.h"

namespace pellucine {

namespace {

// An action that runs only while the delegate exists.
std::function<void()> withDelegate(const CommandContext& context,
                                   std::function<void(ShellCommandTarget&)> body) {
    return [delegate = context.delegate, body = std::move(body)] {
        ShellCommandTarget* target = delegate ? delegate() : nullptr;
        if (target != nullptr) {
            body(*target);
        }
    };
}

std::function<void()> opening(const CommandContext& context, const QUrl& url) {
    return withDelegate(context, [opener = context.urlOpener, url](auto&) {
        if (opener != nullptr) {
            opener->openOrReport(url, OpenFailureNotice::whenNothingOpened(
                                          nullptr, OpenFailureNotice::noBrowser, url.toString()));
        }
    });
}

}  // namespace

QList<Command> applicationCommands(const CommandContext& context) {
    using G = CommandGroup;
    return {
        {G::applicationInformation,
         QStringLiteral("About PELLUCINE"),
         {},
         withDelegate(context, [](auto& d) { d.showSettingsPane(QStringLiteral("about")); })},
        {G::applicationSettings, QStringLiteral("Settings…"),
         QKeySequence(Qt::CTRL | Qt::Key_Comma),
         withDelegate(context, [](auto& d) { d.showSettings(); })},
        {G::applicationSettings, {}, {}, {}},
        {G::applicationSettings,
         QStringLiteral("Show Current App Windows"),
         {},
         withDelegate(context, [](auto& d) { d.openSwitcher(); })},
        {G::applicationSettings,
         QStringLiteral("Search Windows…"),
         {},
         withDelegate(context, [](auto& d) { d.openWindowSearch(); })},
        {G::applicationSettings, {}, {}, {}},
        {G::applicationSettings,
         QStringLiteral("Welcome & Permissions…"),
         {},
         withDelegate(context, [](auto& d) { d.showOnboardingFromMenu(); })},
        {G::applicationSettings,
         QStringLiteral("Diagnostics…"),
         {},
         withDelegate(context, [](auto& d) { d.showDiagnosticsWindow(); })},
        {G::applicationSettings,
         QStringLiteral("Report a Problem…"),
         {},
         withDelegate(context, [](auto& d) { d.reportProblem(); })},
        {G::applicationTermination, QStringLiteral("Quit PELLUCINE"),
         QKeySequence(Qt::CTRL | Qt::Key_Q),
         [terminate = context.terminate] {
             if (terminate) {
                 terminate();
             }
         }},
        {G::help, QStringLiteral("PELLUCINE Website"), {}, opening(context, context.website)},
        {G::help, studioName, {}, opening(context, studioURL)},
    };
}

QList<QAction*> installCommands(QWidget& window, const QList<Command>& commands) {
    QList<QAction*> actions;
    for (const Command& command : commands) {
        auto* action = new QAction(command.title, &window);
        if (command.isSeparator()) {
            action->setSeparator(true);
        } else {
            action->setShortcut(command.shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
            QObject::connect(action, &QAction::triggered, &window,
                             [run = command.action] { run(); });
        }
        window.addAction(action);
        actions.append(action);
    }
    return actions;
}

}  // namespace pellucine
