#include <gtest/gtest.h>

#include <QFile>
#include <QSaveFile>

#include "TestSettingsManager.h"
#include "X11TestDesktop.h"
#include "platform/x11/X11DesktopAppearance.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using testing::TestSettingsManager;
using testing::X11Test;
using testing::X11TestDesktop;

class X11DesktopAppearanceTest : public X11Test {
  protected:
    // The preferences heard, in order.
    QList<SchemePreference> heard;
};

TEST_F(X11DesktopAppearanceTest, FollowsTheXSettingsThemeFromItsManagersStartToItsEnd) {
    X11DesktopAppearance appearance(display, {.desktopNames = {QStringLiteral("XFCE")}});
    EXPECT_EQ(appearance.preference(), SchemePreference::none);
    const Subscription subscription =
        appearance.subscribe([this](SchemePreference value) { heard.append(value); });

    TestSettingsManager manager(desktop->get(), desktop->root());
    manager.start("Greybird");
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !heard.isEmpty(); }));
    manager.setTheme("Greybird-dark");
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return heard.size() == 2; }));
    EXPECT_EQ(appearance.preference(), SchemePreference::dark);

    // Started while a manager runs, the preference is known at once.
    EXPECT_EQ(X11DesktopAppearance(display, {}).preference(), SchemePreference::dark);

    manager.leave();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return heard.size() == 3; }));
    EXPECT_EQ(heard, (QList<SchemePreference>{SchemePreference::light, SchemePreference::dark,
                                              SchemePreference::none}));
}

TEST_F(X11DesktopAppearanceTest, OnKdeFollowsKdeglobalsReplacedOverALightTheme) {
    testing::TempFolder folder;
    const QString kdeGlobals = folder.file(QStringLiteral("kdeglobals"));
    const auto write = [&](const QByteArray& scheme) {
        QSaveFile file(kdeGlobals);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\nColorScheme=" + scheme + "\n");
        ASSERT_TRUE(file.commit());
    };
    write("BreezeDark");
    TestSettingsManager manager(desktop->get(), desktop->root());
    manager.start("Breeze");

    X11DesktopAppearance appearance(
        display, {.desktopNames = {QStringLiteral("KDE")}, .kdeGlobals = kdeGlobals});
    EXPECT_EQ(appearance.preference(), SchemePreference::dark);
    const Subscription subscription =
        appearance.subscribe([this](SchemePreference value) { heard.append(value); });
    write("Breeze");
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !heard.isEmpty(); }));
    EXPECT_EQ(heard, QList<SchemePreference>{SchemePreference::light});
}

}  // namespace
}  // namespace pellucine
