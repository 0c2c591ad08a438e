#include <gtest/gtest.h>

#include "coordination/ShortcutDecision.h"
#include "platform/KeyModifiers.h"

namespace pellucine {
namespace {

using Action = ShortcutDecision::Action;
using Type = KeyEvent::Type;

constexpr quint64 cmd = KeyModifiers::command;
constexpr quint64 shift = KeyModifiers::shift;
constexpr quint64 ctrl = KeyModifiers::control;
constexpr quint64 opt = KeyModifiers::option;
constexpr quint64 caps = KeyModifiers::capsLock;
constexpr quint32 tab = ShortcutDecision::tabKey;
constexpr quint32 f = ShortcutDecision::fKey;
constexpr quint32 esc = ShortcutDecision::escapeKey;
constexpr quint32 commandKey = 55;

struct Row {
    const char* what;
    KeyEvent event;
    bool commandIsDown;
    ShortcutDecision expected;
};

TEST(ShortcutDecisionTest, EveryRowOfTheTable) {
    const Row rows[] = {
        {"tap disabled by time-out",
         {Type::tapDisabledByTimeout, tab, cmd},
         false,
         {Action::reenableTap}},
        {"tap disabled by user input", {Type::tapDisabledByUserInput}, true, {Action::reenableTap}},
        {"Command-Tab", {Type::keyDown, tab, cmd}, true, {Action::advance, false}},
        {"Command-Shift-Tab", {Type::keyDown, tab, cmd | shift}, true, {Action::advance, true}},
        {"Command-Option-Tab", {Type::keyDown, tab, cmd | opt}, true, {Action::advance, false}},
        {"Command-Tab repeated", {Type::keyDown, tab, cmd, true}, true, {Action::advance, false}},
        {"Command-Tab before Command was reported",
         {Type::keyDown, tab, cmd},
         false,
         {Action::advance, false}},
        {"Tab key up", {Type::keyUp, tab, cmd}, true, {}},
        {"Command-F", {Type::keyDown, f, cmd}, true, {Action::search}},
        {"Command-Shift-F", {Type::keyDown, f, cmd | shift}, true, {Action::search}},
        {"Command-F repeated", {Type::keyDown, f, cmd, true}, true, {}},
        {"F key up", {Type::keyUp, f, cmd}, true, {}},
        {"Command-Escape", {Type::keyDown, esc, cmd}, true, {Action::dismiss}},
        {"Command-Escape repeated", {Type::keyDown, esc, cmd, true}, true, {}},
        {"Escape without Command", {Type::keyDown, esc, 0}, false, {}},
        {"Tab without Command", {Type::keyDown, tab, shift}, false, {}},
        {"F without Command", {Type::keyDown, f, 0}, false, {}},
        {"another key with Command", {Type::keyDown, 0, cmd}, true, {}},
        {"an unknown key with Command", {Type::keyDown, KeyEvent::unknownKey, cmd}, true, {}},
        {"Command let go", {Type::flagsChanged, commandKey, 0}, true, {Action::release}},
        {"Shift alone, Command never down",
         {Type::flagsChanged, 56, shift},
         false,
         {Action::release}},
        {"Caps Lock without Command", {Type::flagsChanged, 57, caps}, false, {Action::release}},
        {"Command alone", {Type::flagsChanged, commandKey, cmd}, false, {Action::commandDown}},
        {"Command with Caps Lock on",
         {Type::flagsChanged, commandKey, cmd | caps},
         false,
         {Action::commandDown}},
        {"Command alone, already reported", {Type::flagsChanged, commandKey, cmd}, true, {}},
        {"Command with Shift", {Type::flagsChanged, commandKey, cmd | shift}, false, {}},
        {"Command with Control", {Type::flagsChanged, commandKey, cmd | ctrl}, false, {}},
        {"Command with Option", {Type::flagsChanged, commandKey, cmd | opt}, false, {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ShortcutDecision::decide(row.event, row.commandIsDown), row.expected) << row.what;
    }
}

// Where the switcher opens on Command-Control-Tab, Command-Tab belongs to another program's
// switcher and must not move the glance.
TEST(ShortcutDecisionTest, AFallbackHoldAdvancesOnlyWithEveryHeldModifier) {
    const quint64 hold = cmd | ctrl;
    const Row rows[] = {
        {"Command-Control-Tab", {Type::keyDown, tab, cmd | ctrl}, true, {Action::advance, false}},
        {"Command-Control-Shift-Tab",
         {Type::keyDown, tab, cmd | ctrl | shift},
         true,
         {Action::advance, true}},
        {"Command-Tab", {Type::keyDown, tab, cmd}, true, {}},
        {"Command-Shift-Tab", {Type::keyDown, tab, cmd | shift}, true, {}},
        {"Control-Tab", {Type::keyDown, tab, ctrl}, false, {}},
        {"Command-Control-F", {Type::keyDown, f, cmd | ctrl}, true, {Action::search}},
        {"Command-F", {Type::keyDown, f, cmd}, true, {Action::search}},
        {"Command with Control",
         {Type::flagsChanged, 59, cmd | ctrl},
         false,
         {Action::commandDown}},
        {"Command alone", {Type::flagsChanged, commandKey, cmd}, false, {Action::commandDown}},
        {"Command with Control and Shift", {Type::flagsChanged, 56, cmd | ctrl | shift}, false, {}},
        {"Control let go, Command held", {Type::flagsChanged, 59, cmd}, true, {}},
        {"Command let go, Control held",
         {Type::flagsChanged, commandKey, ctrl},
         true,
         {Action::release}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ShortcutDecision::decide(row.event, row.commandIsDown, hold), row.expected)
            << row.what;
    }
}

}  // namespace
}  // namespace pellucine
