#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/KeyModifiers.h"
#include "platform/linux/shortcuts/OpenboxKeyBindings.h"
#include "support/TempFolder.h"

namespace pellucine {

void PrintTo(const DesktopShortcut& shortcut, std::ostream* out) {
    *out << shortcut.keyCode << "/0x" << std::hex << shortcut.modifiers << std::dec << " "
         << shortcut.owner.toStdString();
}

namespace {

constexpr quint64 shift = KeyModifiers::shift;
constexpr quint64 control = KeyModifiers::control;
constexpr quint64 alt = KeyModifiers::option;
constexpr quint64 super = KeyModifiers::command;

TEST(OpenboxKeyBindingsTest, ReadsTopLevelBindingsWithTheirFirstAction) {
    const QByteArray rc = R"(<?xml version="1.0"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <mouse><keybind key="W-q"><action name="Ignored"/></keybind></mouse>
  <keyboard>
    <chainQuitKey>C-g</chainQuitKey>
    <keybind key="A-space"><action name="ShowMenu"><menu>client-menu</menu></action></keybind>
    <keybind key="W-S-Right">
      <action name="DirectionalCycleWindows"><direction>right</direction></action>
    </keybind>
    <keybind key="A-Tab">
      <action name="NextWindow">
        <finalactions><action name="Focus"/><action name="Raise"/></finalactions>
      </action>
    </keybind>
    <keybind key="W-e">
      <action name="Execute">
        <startupnotify><enabled>true</enabled><name>Files</name></startupnotify>
        <command>kfmclient   openProfile filemanagement</command>
      </action>
    </keybind>
    <keybind key="C-a  d">
      <keybind key="d"><action name="Iconify"/></keybind>
    </keybind>
    <keybind key="c-shift-Page_Up"><action name="SendToDesktop"/></keybind>
    <keybind key="Print"><action name="Execute"><command>scrot</command></action></keybind>
    <keybind key="H-a"><action name="Close"/></keybind>
    <keybind key="M-a"><action name="Close"/></keybind>
    <keybind key="A-"><action name="Close"/></keybind>
    <keybind key="W-F2"/>
  </keyboard>
</openbox_config>)";
    const QList<DesktopShortcut> expected{
        {49, alt, "Openbox: show menu"},
        {124, super | shift, "Openbox: directional cycle windows"},
        {48, alt, "Openbox: next window"},
        {14, super, "Openbox: run kfmclient openProfile filemanagement"},
        // A chain is grabbed by its first key; its inner bindings are not separate.
        {0, control, "Openbox: key chain"},
        {116, control | shift, "Openbox: send to desktop"},
    };
    EXPECT_EQ(OpenboxKeyBindings::parse(rc), expected);
}

TEST(OpenboxKeyBindingsTest, TextThatIsNotItsConfigurationGivesNothing) {
    EXPECT_TRUE(OpenboxKeyBindings::parse("").isEmpty());
    EXPECT_TRUE(OpenboxKeyBindings::parse("<keyboard><keybind key=\"A-Tab\">").isEmpty());
    EXPECT_TRUE(OpenboxKeyBindings::parse("{\"keyboard\": 1}").isEmpty());
    EXPECT_TRUE(OpenboxKeyBindings::parse(
                    "<other><keybind key=\"A-Tab\"><action name=\"X\"/></keybind></other>")
                    .isEmpty());
}

TEST(OpenboxKeyBindingsTest, TheUsersConfigurationComesBeforeTheSystems) {
    testing::TempFolder folder;
    const QString user = folder.file("user");
    const QString system = folder.file("system");
    QDir().mkpath(system + "/openbox");
    QFile(system + "/openbox/rc.xml").open(QIODevice::WriteOnly);
    EXPECT_EQ(OpenboxKeyBindings::findConfiguration({user, system}), system + "/openbox/rc.xml");
    QDir().mkpath(user + "/openbox/rc.xml");  // a folder in the way is no configuration
    EXPECT_EQ(OpenboxKeyBindings::findConfiguration({user, system}), system + "/openbox/rc.xml");
    EXPECT_EQ(OpenboxKeyBindings::findConfiguration({user}), QString());
}

}  // namespace
}  // namespace pellucine
