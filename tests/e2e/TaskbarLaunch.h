#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace pellucine::testing {

// The taskbars a session can run: each publishes its buttons' rectangles on the clients as
// _NET_WM_ICON_GEOMETRY.
enum class Taskbar { tint2, xfce4Panel, matePanel, lxpanel };

// How a session starts one taskbar with a configuration of its own in the session's home, so that
// it reads none of the user's and needs no desktop session around it.
struct TaskbarLaunch {
    QString name;
    QString program;
    // "%h" in an argument or a value of the environment stands for the session's home.
    QStringList arguments;
    // Paths relative to the session's home, with their contents.
    QList<std::pair<QString, QByteArray>> files;
    QList<std::pair<QString, QString>> environment;
    // It reaches its settings or its applets over a session bus.
    bool needsSessionBus = false;

    // The taskbar on the main monitor, or on the monitor of this index (from 0) where it can be
    // told which.
    static TaskbarLaunch of(Taskbar taskbar, int monitor = -1);
};

}  // namespace pellucine::testing
