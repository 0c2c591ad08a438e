#include "TaskbarLaunch.h"

namespace pellucine::testing {

namespace {

// A task list alone along the bottom edge, a button of 150 by 30 for each window. Its first
// button starts 104 pixels in: one at the panel's own origin is never published.
QByteArray tint2Config(int monitor) {
    QByteArray text =
        "panel_items = T\n"
        "panel_size = 100% 30\n"
        "panel_position = bottom center horizontal\n"
        "panel_padding = 104 0 2\n"
        "panel_dock = 0\n"
        "strut_policy = follow_size\n"
        "panel_layer = top\n"
        "wm_menu = 0\n"
        "taskbar_mode = single_desktop\n"
        "task_maximum_size = 150 30\n";
    if (monitor >= 0) {
        text += "panel_monitor = " + QByteArray::number(monitor + 1) + "\n";
    }
    return text;
}

// One panel along the top edge holding a task list that groups each application's windows
// under one button.
const QByteArray xfcePanelChannel =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<channel name=\"xfce4-panel\" version=\"1.0\">\n"
    "  <property name=\"configver\" type=\"int\" value=\"2\"/>\n"
    "  <property name=\"panels\" type=\"array\">\n"
    "    <value type=\"int\" value=\"1\"/>\n"
    "    <property name=\"panel-1\" type=\"empty\">\n"
    "      <property name=\"position\" type=\"string\" value=\"p=6;x=0;y=0\"/>\n"
    "      <property name=\"length\" type=\"uint\" value=\"100\"/>\n"
    "      <property name=\"position-locked\" type=\"bool\" value=\"true\"/>\n"
    "      <property name=\"size\" type=\"uint\" value=\"26\"/>\n"
    "      <property name=\"plugin-ids\" type=\"array\">\n"
    "        <value type=\"int\" value=\"1\"/>\n"
    "      </property>\n"
    "    </property>\n"
    "  </property>\n"
    "  <property name=\"plugins\" type=\"empty\">\n"
    "    <property name=\"plugin-1\" type=\"string\" value=\"tasklist\">\n"
    "      <property name=\"grouping\" type=\"uint\" value=\"1\"/>\n"
    "    </property>\n"
    "  </property>\n"
    "</channel>\n";

// A task list alone along the bottom edge.
const QByteArray lxpanelConfig =
    "Global {\n"
    "  edge=bottom\n  align=left\n  margin=0\n  widthtype=percent\n  width=100\n  height=26\n"
    "  setdocktype=1\n  setpartialstrut=1\n"
    "}\n"
    "Plugin {\n  type=taskbar\n  expand=1\n  Config {\n    ShowAllDesks=0\n  }\n}\n";

const std::pair<QString, QString> ownConfigHome{QStringLiteral("XDG_CONFIG_HOME"),
                                                QStringLiteral("%h/.config")};

}  // namespace

TaskbarLaunch TaskbarLaunch::of(Taskbar taskbar, int monitor) {
    switch (taskbar) {
        case Taskbar::tint2:
            return {QStringLiteral("tint2"),
                    QStringLiteral("tint2"),
                    {"-c", "%h/.config/tint2/taskbar.tint2rc"},
                    {{QStringLiteral(".config/tint2/taskbar.tint2rc"), tint2Config(monitor)}},
                    {ownConfigHome}};
        case Taskbar::xfce4Panel:
            // Its settings daemon, xfconfd, is started on the bus and reads the channel there.
            return {QStringLiteral("xfce4-panel"),
                    QStringLiteral("xfce4-panel"),
                    {},
                    {{QStringLiteral(".config/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml"),
                      xfcePanelChannel}},
                    {ownConfigHome},
                    true};
        case Taskbar::matePanel:
            // Its default layout: a menu bar at the top and a window list, one button for each
            // window, at the bottom; the window list is an applet it starts on the bus.
            return {
                QStringLiteral("mate-panel"),
                QStringLiteral("mate-panel"),
                {},
                {},
                {ownConfigHome, {QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory")}},
                true};
        case Taskbar::lxpanel:
            return {QStringLiteral("lxpanel"),
                    QStringLiteral("lxpanel"),
                    {"--profile", "pellucine"},
                    {{QStringLiteral(".config/lxpanel/pellucine/panels/panel"), lxpanelConfig}},
                    {ownConfigHome}};
    }
    return {};
}

}  // namespace pellucine::testing
