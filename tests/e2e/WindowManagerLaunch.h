#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace pellucine::testing {

// The window managers a session can run.
enum class WindowManager { openbox, xfwm4, marco, metacity, fluxbox, icewm, kwin, muffin, i3 };

// How a session starts one window manager: its command, the files it reads from the session's
// home and its environment, so that it neither reads the user's settings nor needs a desktop
// session around it.
struct WindowManagerLaunch {
    QString name;
    QString program;
    // "%h" in an argument or a value of the environment stands for the session's home.
    QStringList arguments;
    // Paths relative to the session's home, with their contents.
    QList<std::pair<QString, QByteArray>> files;
    QList<std::pair<QString, QString>> environment;
    // It places and sizes windows itself, whatever a client asks for.
    bool tiles = false;
    // It keeps its settings behind a session bus of its own.
    bool needsSessionBus = false;

    static WindowManagerLaunch of(WindowManager manager);
    // The manager with this name ("openbox", "kwin"); none for another name.
    static std::optional<WindowManager> named(const QString& name);
};

}  // namespace pellucine::testing
