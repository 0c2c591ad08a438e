#include <gtest/gtest.h>

#include "platform/SwitcherBinding.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

const SwitcherBinding superTab{KeyModifiers::command};
const SwitcherBinding superCtrlTab{KeyModifiers::command | KeyModifiers::control};

TEST(SwitcherBindingTest, SuperTabComesFirstThenTheFallbackThenNone) {
    EXPECT_EQ(SwitcherBinding::next({}), superTab);
    EXPECT_EQ(SwitcherBinding::next({superTab}), superCtrlTab);
    EXPECT_EQ(SwitcherBinding::next({superTab, superCtrlTab}), std::nullopt);
    // Refused out of order, or a binding refused twice, changes nothing.
    EXPECT_EQ(SwitcherBinding::next({superCtrlTab}), superTab);
    EXPECT_EQ(SwitcherBinding::next({superCtrlTab, superCtrlTab, superTab}), std::nullopt);
    // Every preferred binding holds Super, which letting go switches on.
    for (const SwitcherBinding& binding : SwitcherBinding::preferred()) {
        EXPECT_NE(binding.hold & KeyModifiers::command, 0u) << binding.name().toStdString();
    }
}

TEST(SwitcherBindingTest, EachBindingGrabsForwardShiftBackAndGraveBack) {
    using Combination = SwitcherBinding::Combination;
    const quint64 held = KeyModifiers::command | KeyModifiers::control;
    EXPECT_EQ(superCtrlTab.combinations(),
              (QList<Combination>{{SwitcherBinding::tabKey, held, false},
                                  {SwitcherBinding::tabKey, held | KeyModifiers::shift, true},
                                  {SwitcherBinding::graveKey, held, true}}));
    EXPECT_EQ(superTab.combinations().first().modifiers, KeyModifiers::command);
}

TEST(SwitcherBindingTest, CapsNamesAndNoticeFollowTheBindingInEffect) {
    EXPECT_EQ(superTab.name(), QStringLiteral("Super+Tab"));
    EXPECT_EQ(superTab.caps(), QStringLiteral("{Super}{Tab}"));
    EXPECT_EQ(superCtrlTab.name(), QStringLiteral("Super+Ctrl+Tab"));
    EXPECT_EQ(superCtrlTab.heldCaps(), QStringLiteral("{Super}{Ctrl}"));
    EXPECT_EQ(superCtrlTab.caps(), QStringLiteral("{Super}{Ctrl}{Tab}"));

    EXPECT_FALSE(superTab.isFallback());
    EXPECT_TRUE(superCtrlTab.isFallback());
    EXPECT_TRUE(SwitcherBinding::notice(superTab).isEmpty());
    EXPECT_EQ(SwitcherBinding::notice(superCtrlTab),
              QStringLiteral("Super+Tab is taken by another program, such as the window manager: "
                             "the application switcher opens on Super+Ctrl+Tab instead."));
    EXPECT_TRUE(SwitcherBinding::notice(std::nullopt).contains(u"switcher is off"));
}

}  // namespace
}  // namespace pellucine
