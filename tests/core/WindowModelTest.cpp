#include <gtest/gtest.h>

#include <QSet>
#include <stdexcept>

#include "core/ApplicationDescriptor.h"
#include "core/DisplayTarget.h"
#include "core/NativeApplicationSwitcherState.h"
#include "core/Permission.h"
#include "core/SensitiveApplication.h"
#include "core/WindowAction.h"
#include "core/WindowServiceError.h"

namespace pellucine {
namespace {

WindowDescriptor sampleWindow() {
    WindowDescriptor w;
    w.id = 42;
    w.ownerPID = 100;
    w.ownerBundleIdentifier = QStringLiteral("com.example.editor");
    w.applicationName = QStringLiteral("Editor");
    w.title = QStringLiteral("Notes");
    w.frame = {10, 20, 300, 200};
    w.isOnScreen = true;
    return w;
}

TEST(WindowDescriptorTest, LabelUsesUntitledOnlyForAnExactlyEmptyTitle) {
    WindowDescriptor w = sampleWindow();
    EXPECT_EQ(w.displayLabel(), QStringLiteral("Notes \u2014 Editor"));
    w.title.clear();
    EXPECT_EQ(w.displayLabel(), QStringLiteral("Untitled window \u2014 Editor"));
    w.title = QStringLiteral("   ");
    EXPECT_EQ(w.displayLabel(), QStringLiteral("    \u2014 Editor"));
}

TEST(WindowDescriptorTest, EqualityCoversEveryField) {
    const WindowDescriptor a = sampleWindow();
    WindowDescriptor b = a;
    EXPECT_EQ(a, b);
    b.title = QStringLiteral("Other");
    EXPECT_NE(a, b);
    b = a;
    b.isOnScreen = false;
    EXPECT_NE(a, b);
    b = a;
    b.lastFocusedAt = QDateTime::fromSecsSinceEpoch(1, Qt::UTC);
    EXPECT_NE(a, b);
    b = a;
    b.ownerBundleIdentifier.reset();
    EXPECT_NE(a, b);
    b = a;
    b.ownerBundleIdentifier = QString();
    EXPECT_NE(a, b);
}

TEST(WindowDescriptorTest, FramesCompareAndHashAsStandardisedRectangles) {
    const WindowDescriptor a = sampleWindow();
    WindowDescriptor b = a;
    b.frame = {310, 220, -300, -200};
    EXPECT_EQ(a, b);
    EXPECT_EQ(qHash(a), qHash(b));

    WindowDescriptor zero = a;
    zero.frame = {0.0, 0.0, 10, 10};
    WindowDescriptor negativeZero = a;
    negativeZero.frame = {-0.0, -0.0, 10, 10};
    EXPECT_EQ(zero, negativeZero);
    EXPECT_EQ(qHash(zero), qHash(negativeZero));
    QSet<WindowDescriptor> set{zero, negativeZero};
    EXPECT_EQ(set.size(), 1);
}

TEST(WindowDescriptorTest, MadeUpNumbersHaveBit31) {
    WindowDescriptor w = sampleWindow();
    EXPECT_FALSE(w.hasMadeUpNumber());
    w.id = 0x80000000u | (100u << 8) | 3u;
    EXPECT_TRUE(w.hasMadeUpNumber());
}

TEST(ApplicationDescriptorTest, IdentityIsBundleIdentifierElsePid) {
    ApplicationDescriptor app;
    app.processIdentifier = 4242;
    EXPECT_EQ(app.id(), QStringLiteral("pid:4242"));
    app.bundleIdentifier = QStringLiteral("com.example.editor");
    EXPECT_EQ(app.id(), QStringLiteral("com.example.editor"));
}

TEST(ApplicationDescriptorTest, EqualityComparesWindowsInOrder) {
    ApplicationDescriptor a;
    a.processIdentifier = 1;
    a.name = QStringLiteral("Editor");
    WindowDescriptor w1 = sampleWindow();
    WindowDescriptor w2 = sampleWindow();
    w2.id = 43;
    a.windows = {w1, w2};
    ApplicationDescriptor b = a;
    EXPECT_EQ(a, b);
    EXPECT_EQ(qHash(a), qHash(b));
    b.windows = {w2, w1};
    EXPECT_NE(a, b);
    b = a;
    b.windows[1].title = QStringLiteral("Retitled");
    EXPECT_NE(a, b);
}

TEST(WindowPlacementTest, FramesSplitFlooredHalvesLeftAndTop) {
    const GlobalRect v{100, 25, 1441, 875};
    EXPECT_EQ(placementFrame(WindowPlacement::maximize, v), v);
    EXPECT_EQ(placementFrame(WindowPlacement::leftHalf, v), (GlobalRect{100, 25, 720, 875}));
    EXPECT_EQ(placementFrame(WindowPlacement::rightHalf, v), (GlobalRect{820, 25, 721, 875}));
    EXPECT_EQ(placementFrame(WindowPlacement::topLeft, v), (GlobalRect{100, 25, 720, 437}));
    EXPECT_EQ(placementFrame(WindowPlacement::topRight, v), (GlobalRect{820, 25, 721, 437}));
    EXPECT_EQ(placementFrame(WindowPlacement::bottomLeft, v), (GlobalRect{100, 462, 720, 438}));
    EXPECT_EQ(placementFrame(WindowPlacement::bottomRight, v), (GlobalRect{820, 462, 721, 438}));
    // A display left of and above the main one.
    EXPECT_EQ(placementFrame(WindowPlacement::bottomRight, GlobalRect{-1920, -1080, 1920, 1055}),
              (GlobalRect{-960, -553, 960, 528}));
}

TEST(WindowPlacementTest, RawValuesRoundTripAndUnknownTextsYieldNothing) {
    for (WindowPlacement p : allWindowPlacements) {
        EXPECT_EQ(windowPlacementFromRawValue(rawValue(p)), p);
    }
    EXPECT_EQ(rawValue(WindowPlacement::bottomLeft), QStringLiteral("bottomLeft"));
    EXPECT_FALSE(windowPlacementFromRawValue(u"LeftHalf"));
    EXPECT_FALSE(windowPlacementFromRawValue(u""));
}

TEST(WindowActionTest, TextForms) {
    EXPECT_EQ(WindowAction::place(WindowPlacement::leftHalf).textForm(),
              QStringLiteral("place(pellucine.WindowPlacement.leftHalf)"));
    EXPECT_EQ(WindowAction::focus().textForm(), QStringLiteral("focus"));
    EXPECT_EQ(WindowAction::toggleFullScreen().textForm(), QStringLiteral("toggleFullScreen"));
    EXPECT_EQ(WindowAction::close().textForm(), QStringLiteral("close"));
    EXPECT_EQ(WindowAction::place(WindowPlacement::topLeft),
              WindowAction::place(WindowPlacement::topLeft));
    EXPECT_NE(WindowAction::place(WindowPlacement::topLeft),
              WindowAction::place(WindowPlacement::topRight));
    WindowAction a = WindowAction::minimize();
    a.placement = WindowPlacement::rightHalf;
    EXPECT_EQ(a, WindowAction::minimize());
}

TEST(PermissionTest, RawValuesAndUnknownTexts) {
    EXPECT_EQ(rawValue(PermissionKind::screenRecording), QStringLiteral("screenRecording"));
    EXPECT_EQ(rawValue(PermissionState::restartRequired), QStringLiteral("restartRequired"));
    EXPECT_EQ(permissionStateFromRawValue(u"notDetermined"), PermissionState::notDetermined);
    EXPECT_EQ(permissionKindFromRawValue(u"accessibility"), PermissionKind::accessibility);
    EXPECT_FALSE(permissionStateFromRawValue(u"Granted"));
    EXPECT_FALSE(permissionKindFromRawValue(u"camera"));
}

TEST(DisplayTargetTest, EqualityComparesRectanglesStandardised) {
    EXPECT_EQ((DisplayTarget{1, {0, 0, 10, 10}}), (DisplayTarget{1, {10, 10, -10, -10}}));
    EXPECT_NE((DisplayTarget{1, {0, 0, 10, 10}}), (DisplayTarget{2, {0, 0, 10, 10}}));
}

TEST(WindowServiceErrorTest, DescriptionsAndTypeName) {
    const WindowServiceError e = WindowServiceError::windowUnavailable();
    EXPECT_EQ(e.localizedDescription(), QStringLiteral("The window is no longer available."));
    EXPECT_STREQ(e.what(), "The window is no longer available.");
    EXPECT_EQ(WindowServiceError::permissionRequired().localizedDescription(),
              QStringLiteral("Accessibility permission is required."));
    EXPECT_EQ(errorTypeName(e), QStringLiteral("pellucine.WindowServiceError"));
    EXPECT_EQ(errorTypeName(std::runtime_error("x")), QStringLiteral("std.runtime_error"));
    EXPECT_NE(e, WindowServiceError::permissionRequired());
}

TEST(SensitiveApplicationTest, PrefixesIgnoreCase) {
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("com.1password.1password"), 15));
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("com.apple.passwords"), 15));
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("ORG.KEEPASSXC.KeePassXC"), 15));
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("com.callpod.keeperX"), 15));
    EXPECT_FALSE(isSensitiveApplication(QStringLiteral("com.bitwarden"), 15));
    EXPECT_FALSE(isSensitiveApplication(QStringLiteral("com.example.editor"), 15));
    EXPECT_FALSE(isSensitiveApplication(std::nullopt, 14));
}

TEST(SensitiveApplicationTest, SystemSettingsOnlyBeforeVersion15AndOnlyExactly) {
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("com.apple.systempreferences"), 14));
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("com.apple.SystemPreferences"), 14));
    EXPECT_FALSE(isSensitiveApplication(QStringLiteral("com.apple.systempreferences"), 15));
    EXPECT_FALSE(isSensitiveApplication(QStringLiteral("com.apple.systempreferences.x"), 14));
}

TEST(NativeApplicationSwitcherStateTest, SteppingWrapsAndIgnoresMissingOrBadIndex) {
    NativeApplicationSwitcherState s{{1, 2, 3}, 2};
    s.step(false);
    EXPECT_EQ(s.selectedIndex, 0);
    s.step(true);
    EXPECT_EQ(s.selectedIndex, 2);

    NativeApplicationSwitcherState none{{1, 2, 3}, std::nullopt};
    none.step(false);
    EXPECT_FALSE(none.selectedIndex);
    NativeApplicationSwitcherState empty{{}, 0};
    empty.step(true);
    EXPECT_EQ(empty.selectedIndex, 0);
    for (int bad : {-1, 3, 99}) {
        NativeApplicationSwitcherState outside{{1, 2, 3}, bad};
        outside.step(true);
        EXPECT_EQ(outside.selectedIndex, bad);
    }
}

TEST(NativeApplicationSwitcherStateTest, NeighboursAlternateOutward) {
    EXPECT_EQ(
        (NativeApplicationSwitcherState{{10, 11, 12, 13, 14}, 0}).neighbourProcessIdentifiers(3),
        (QList<qint32>{11, 14, 12}));
    EXPECT_EQ(
        (NativeApplicationSwitcherState{{10, 11, 12, 13, 14}, 2}).neighbourProcessIdentifiers(10),
        (QList<qint32>{13, 11, 14, 10}));
    EXPECT_EQ((NativeApplicationSwitcherState{{10, 11}, 1}).neighbourProcessIdentifiers(5),
              (QList<qint32>{10}));
    EXPECT_EQ((NativeApplicationSwitcherState{{10, 11, 12}, 0}).neighbourProcessIdentifiers(1),
              (QList<qint32>{11}));
    EXPECT_TRUE((NativeApplicationSwitcherState{{10}, 0}).neighbourProcessIdentifiers(3).isEmpty());
    EXPECT_TRUE(
        (NativeApplicationSwitcherState{{10, 11}, 0}).neighbourProcessIdentifiers(0).isEmpty());
    EXPECT_TRUE(
        (NativeApplicationSwitcherState{{10, 11}, 0}).neighbourProcessIdentifiers(-2).isEmpty());
    EXPECT_TRUE((NativeApplicationSwitcherState{{10, 11}, std::nullopt})
                    .neighbourProcessIdentifiers(2)
                    .isEmpty());
    EXPECT_TRUE(
        (NativeApplicationSwitcherState{{10, 11}, 5}).neighbourProcessIdentifiers(2).isEmpty());
}

TEST(NativeApplicationSwitcherStateTest, NeighboursEndAndSkipTheSelectedPidDespiteDuplicates) {
    EXPECT_EQ((NativeApplicationSwitcherState{{7, 8, 7, 8}, 0}).neighbourProcessIdentifiers(3),
              (QList<qint32>{8}));
    EXPECT_TRUE(
        (NativeApplicationSwitcherState{{7, 7, 7}, 1}).neighbourProcessIdentifiers(5).isEmpty());
}

TEST(NativeApplicationSwitcherStateTest, ApplicationOrder) {
    using S = NativeApplicationSwitcherState;
    EXPECT_EQ(S::makeApplicationOrder({1, 2, 3, 4}, 3, {4, 9, 3, 2}), (QList<qint32>{3, 4, 2, 1}));
    EXPECT_EQ(S::makeApplicationOrder({1, 2, 3}, 9, {2}), (QList<qint32>{2, 1, 3}));
    EXPECT_EQ(S::makeApplicationOrder({1, 2, 3}, std::nullopt, {}), (QList<qint32>{1, 2, 3}));
    EXPECT_EQ(S::makeApplicationOrder({1, 2, 2, 3}, 2, {3, 3}), (QList<qint32>{2, 3, 1}));
    EXPECT_TRUE(S::makeApplicationOrder({}, 1, {1}).isEmpty());
}

}  // namespace
}  // namespace pellucine
