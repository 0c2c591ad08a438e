#include "WindowManagerLaunch.h"

#include <array>

namespace pellucine::testing {

namespace {

constexpr std::array managers{WindowManager::openbox,  WindowManager::xfwm4,   WindowManager::marco,
                              WindowManager::metacity, WindowManager::fluxbox, WindowManager::icewm,
                              WindowManager::kwin,     WindowManager::muffin,  WindowManager::i3};

// GSettings without a dconf service: every key at its default.
const std::pair<QString, QString> gsettingsDefaults{QStringLiteral("GSETTINGS_BACKEND"),
                                                    QStringLiteral("memory")};

}  // namespace

WindowManagerLaunch WindowManagerLaunch::of(WindowManager manager) {
    switch (manager) {
        case WindowManager::openbox:
            return {QStringLiteral("openbox"), QStringLiteral("openbox"), {}, {}, {}};
        case WindowManager::xfwm4:
            return {QStringLiteral("xfwm4"),
                    QStringLiteral("xfwm4"),
                    {"--compositor=off", "--sm-client-disable"},
                    {},
                    {},
                    false,
                    true};
        case WindowManager::marco:
            return {QStringLiteral("marco"),
                    QStringLiteral("marco"),
                    {"--no-composite", "--sm-disable"},
                    {},
                    {gsettingsDefaults}};
        case WindowManager::metacity:
            return {QStringLiteral("metacity"),
                    QStringLiteral("metacity"),
                    {"--no-composite", "--sm-disable"},
                    {},
                    {gsettingsDefaults}};
        case WindowManager::fluxbox:
            // Its own toolbar and its tray stay away: the tray and the bottom panel are the test's.
            // It sets its style's wallpaper with hsetroot; without one it opens a window to say it
            // could not.
            return {QStringLiteral("fluxbox"),
                    QStringLiteral("fluxbox"),
                    {"-rc", "%h/.fluxbox/init"},
                    {{QStringLiteral(".fluxbox/init"),
                      "session.screen0.toolbar.visible: false\n"
                      "session.screen0.toolbar.tools: workspacename, iconbar, clock\n"
                      "session.screen0.workspaces: 4\n"
                      "session.screen0.focusModel: ClickFocus\n"}}};
        case WindowManager::icewm:
            return {QStringLiteral("icewm"),
                    QStringLiteral("icewm"),
                    {},
                    {{QStringLiteral(".icewm/preferences"),
                      "ShowTaskBar=0\nWorkspaceNames=\" 1 \", \" 2 \", \" 3 \", \" 4 \"\n"}},
                    {{QStringLiteral("ICEWM_PRIVCFG"), QStringLiteral("%h/.icewm")}}};
        case WindowManager::kwin:
            // Started bare it has a single desktop. Its shortcut service, started on its session
            // bus, binds Meta+Tab, as a Plasma desktop does.
            return {QStringLiteral("kwin"),
                    QStringLiteral("kwin_x11"),
                    {"--replace"},
                    {{QStringLiteral(".config/kwin/kwinrc"), "[Desktops]\nNumber=2\nRows=1\n"},
                     {QStringLiteral(".config/kwin/kglobalshortcutsrc"),
                      "[kwin]\nWalk Through Windows Alternative=Meta+Tab,,Walk Through Windows "
                      "Alternative\n"}},
                    {{QStringLiteral("KWIN_COMPOSE"), QStringLiteral("N")},
                     {QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("%h/.config/kwin")}},
                    false,
                    true};
        case WindowManager::muffin:
            return {QStringLiteral("muffin"),
                    QStringLiteral("muffin"),
                    {"--replace", "--x11"},
                    {},
                    {gsettingsDefaults},
                    false,
                    true};
        case WindowManager::i3:
            return {QStringLiteral("i3"),
                    QStringLiteral("i3"),
                    {"-c", "%h/.config/i3/config"},
                    {{QStringLiteral(".config/i3/config"),
                      "font pango:monospace 8\nfocus_on_window_activation focus\n"}},
                    {},
                    true};
    }
    return {};
}

std::optional<WindowManager> WindowManagerLaunch::named(const QString& name) {
    for (const WindowManager manager : managers) {
        if (of(manager).name == name) {
            return manager;
        }
    }
    return std::nullopt;
}

}  // namespace pellucine::testing
