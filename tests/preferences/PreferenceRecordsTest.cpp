#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>

#include "preferences/MachinePreferences.h"
#include "preferences/PortablePreferences.h"
#include "preferences/PreferenceCodingError.h"

namespace pellucine {
namespace {

// What an empty object decodes to: every default, the current version, the distant past.
PortablePreferences decodedDefaults() {
    PortablePreferences p;
    p.modifiedAt = distantPast();
    return p;
}

QDateTime utc(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// One fixture: the JSON text and the change it makes to the decoded defaults, or nothing when
// the whole record must fail to decode.
template <class Record>
struct Fixture {
    const char* json;
    std::optional<std::function<void(Record&)>> expect;
};

using Portable = Fixture<PortablePreferences>;
const auto fails = std::nullopt;

const Portable portableFixtures[] = {
    {"{}", [](PortablePreferences&) {}},
    // Old-record width migration (before normalisation; missing version reads as 1).
    {R"({"version": 11, "previewWidth": 500})", [](auto& p) { p.previewWidth = 600; }},
    {R"({"version": 11, "previewWidth": 540})", [](auto& p) { p.previewWidth = 540; }},
    {R"({"version": 12, "previewWidth": 500})", [](auto& p) { p.previewWidth = 500; }},
    {R"({"previewWidth": 400})", [](auto& p) { p.previewWidth = 600; }},
    {R"({"previewWidth": 520})", [](auto& p) { p.previewWidth = 600; }},
    {R"({"previewWidth": 520.5})", [](auto& p) { p.previewWidth = 520.5; }},
    {R"({"previewWidth": 200})", [](auto& p) { p.previewWidth = 600; }},
    {R"({"version": 13, "previewWidth": 400})", [](auto& p) { p.previewWidth = 400; }},
    // Normalisation bounds.
    {R"({"version": 12, "previewWidth": 200})", [](auto& p) { p.previewWidth = 360; }},
    {R"({"version": 12, "previewWidth": 360})", [](auto& p) { p.previewWidth = 360; }},
    {R"({"version": 12, "previewWidth": 360.25})", [](auto& p) { p.previewWidth = 360.25; }},
    {R"({"version": 12, "previewWidth": 800})", [](auto& p) { p.previewWidth = 800; }},
    {R"({"version": 12, "previewWidth": 800.5})", [](auto& p) { p.previewWidth = 800; }},
    {R"({"previewWidth": 1200})", [](auto& p) { p.previewWidth = 800; }},
    {R"({"previewWidth": -1e300})", [](auto& p) { p.previewWidth = 600; }},
    {R"({"version": 12, "previewWidth": -1e300})", [](auto& p) { p.previewWidth = 360; }},
    {R"({"dockHoverDelayMilliseconds": 0})", [](auto& p) { p.dockHoverDelayMilliseconds = 100; }},
    {R"({"dockHoverDelayMilliseconds": -5})", [](auto& p) { p.dockHoverDelayMilliseconds = 100; }},
    {R"({"dockHoverDelayMilliseconds": 100})", [](auto& p) { p.dockHoverDelayMilliseconds = 100; }},
    {R"({"dockHoverDelayMilliseconds": 1000})",
     [](auto& p) { p.dockHoverDelayMilliseconds = 1000; }},
    {R"({"dockHoverDelayMilliseconds": 5000})",
     [](auto& p) { p.dockHoverDelayMilliseconds = 1000; }},
    {R"({"excludedDockAppBundleIdentifiers": ["b", "a", "b"]})",
     [](auto& p) {
         p.excludedDockAppBundleIdentifiers = {"a", "b"};
     }},
    {R"({"excludedDockAppBundleIdentifiers": ["com.z", "Com.a", "com.a"]})",
     [](auto& p) {
         p.excludedDockAppBundleIdentifiers = {"Com.a", "com.a", "com.z"};
     }},
    // The switcher shortcut is always Command-Tab, whatever was stored.
    {R"({"shortcutKeyCode": 49, "shortcutModifiers": 0})", [](auto&) {}},
    {R"({"shortcutKeyCode": 65535, "shortcutModifiers": 9223372036854775808})", [](auto&) {}},
    // Integral doubles are whole numbers; fractions are not.
    {R"({"version": 12.0, "dockHoverDelayMilliseconds": 450.0, "shortcutKeyCode": 48.0})",
     [](auto& p) { p.dockHoverDelayMilliseconds = 450; }},
    {R"({"dockHoverDelayMilliseconds": 300.5})", fails},
    {R"({"version": 11.5})", fails},
    {R"({"version": 1e30})", fails},
    // Bool against number, and other wrong types.
    {R"({"reduceAnimations": 1})", fails},
    {R"({"includeMinimizedWindows": 0})", fails},
    {R"({"syncEnabled": "true"})", fails},
    {R"({"previewWidth": true})", fails},
    {R"({"previewWidth": "600"})", fails},
    {R"({"dockHoverDelayMilliseconds": false})", fails},
    {R"({"version": "12"})", fails},
    {R"({"excludedDockAppBundleIdentifiers": "com.a"})", fails},
    {R"({"excludedDockAppBundleIdentifiers": ["com.a", 1]})", fails},
    {R"({"excludedDockAppBundleIdentifiers": ["com.a", null]})", fails},
    {R"({"dockPreviewStyle": 2})", fails},
    // Out-of-range key codes and masks fail even though normalisation would replace them.
    {R"({"shortcutKeyCode": 65536})", fails},
    {R"({"shortcutKeyCode": 70000})", fails},
    {R"({"shortcutKeyCode": -1})", fails},
    {R"({"shortcutModifiers": -1})", fails},
    {R"({"shortcutModifiers": 18446744073709551616})", fails},
    // Styles.
    {R"({"dockPreviewStyle": "compact"})",
     [](auto& p) { p.dockPreviewStyle = DockPreviewStyle::compact; }},
    {R"({"dockPreviewStyle": "thumbnails"})",
     [](auto& p) { p.dockPreviewStyle = DockPreviewStyle::thumbnails; }},
    {R"({"dockPreviewStyle": "grid"})", fails},
    {R"({"dockPreviewStyle": "Compact"})", fails},
    {R"({"dockPreviewStyle": ""})", fails},
    // Dates: whole-second internet date-time only.
    {R"({"modifiedAt": "2026-03-14T09:26:53Z"})",
     [](auto& p) { p.modifiedAt = utc(2026, 3, 14, 9, 26, 53); }},
    {R"({"modifiedAt": "2026-03-14T10:26:53+01:00"})",
     [](auto& p) { p.modifiedAt = utc(2026, 3, 14, 9, 26, 53); }},
    {R"({"modifiedAt": "2026-03-14T09:26:53.589Z"})", fails},
    {R"({"modifiedAt": "2026-03-14"})", fails},
    {R"({"modifiedAt": 795000000})", fails},
    // Null is read as absent.
    {R"({"version": null, "previewWidth": null, "reduceAnimations": null,
         "dockPreviewStyle": null, "excludedDockAppBundleIdentifiers": null,
         "modifiedAt": null, "shortcutKeyCode": null})",
     [](auto&) {}},
    {R"({"version": null, "previewWidth": 400})", [](auto& p) { p.previewWidth = 600; }},
    // Unknown members are ignored.
    {R"({"futureSetting": {"a": 1}, "reduceAnimations": true})",
     [](auto& p) { p.reduceAnimations = true; }},
    // Every Bool away from its default.
    {R"({"reduceAnimations": true, "includeMinimizedWindows": false,
         "includeWindowsFromOtherSpaces": false, "includeWindowsFromOtherDisplays": false,
         "enableDockHoverPreviews": false, "showDockPreviewControls": false,
         "skipSingleWindowDockPreviews": true, "enableFullSizeHoverPeek": false,
         "keepPreviewsReady": false, "keepPasswordManagersPrivate": false,
         "syncEnabled": true})",
     [](auto& p) {
         p.reduceAnimations = true;
         p.includeMinimizedWindows = false;
         p.includeWindowsFromOtherSpaces = false;
         p.includeWindowsFromOtherDisplays = false;
         p.enableDockHoverPreviews = false;
         p.showDockPreviewControls = false;
         p.skipSingleWindowDockPreviews = true;
         p.enableFullSizeHoverPeek = false;
         p.keepPreviewsReady = false;
         p.keepPasswordManagersPrivate = false;
         p.syncEnabled = true;
     }},
    // Not an object at all. Qt's reader refuses numbers beyond the double range.
    {"[]", fails},
    {"null", fails},
    {"", fails},
    {"{", fails},
    {R"({"previewWidth": 1e400})", fails},
};

TEST(PreferenceRecordsTest, PortableFixtures) {
    for (const Portable& fixture : portableFixtures) {
        SCOPED_TRACE(fixture.json);
        if (!fixture.expect) {
            EXPECT_THROW(PortablePreferences::fromJsonData(fixture.json), PreferenceDecodingError);
            continue;
        }
        PortablePreferences expected = decodedDefaults();
        (*fixture.expect)(expected);
        const PortablePreferences decoded = PortablePreferences::fromJsonData(fixture.json);
        EXPECT_EQ(decoded.previewWidth, expected.previewWidth);
        EXPECT_EQ(decoded.dockHoverDelayMilliseconds, expected.dockHoverDelayMilliseconds);
        EXPECT_EQ(decoded.modifiedAt, expected.modifiedAt);
        EXPECT_EQ(decoded, expected);
        EXPECT_EQ(decoded.version, 12);
        EXPECT_EQ(decoded.shortcutKeyCode, 48);
        EXPECT_EQ(decoded.shortcutModifiers, 0x100000u);
    }
}

using Machine = Fixture<MachinePreferences>;

const Machine machineFixtures[] = {
    {"{}", [](MachinePreferences&) {}},
    {R"({"showMenuBarIcon": false})", [](auto& m) { m.showMenuBarIcon = false; }},
    {R"({"showInDockAndAppSwitcher": false, "automaticUpdateChecks": false,
         "windowSearchEnabled": false, "updateChannel": "beta"})",
     [](auto& m) {
         m.showInDockAndAppSwitcher = false;
         m.automaticUpdateChecks = false;
         m.windowSearchEnabled = false;
         m.updateChannel = UpdateChannel::beta;
     }},
    {R"({"windowSearchHotkey": {"keyCode": 3, "modifiers": 1310720}})",
     [](auto& m) {
         m.windowSearchHotkey = {3, 0x140000};
     }},
    {R"({"windowSearchHotkey": {"keyCode": 3.0, "modifiers": 0, "label": "x"}})",
     [](auto& m) {
         m.windowSearchHotkey = {3, 0};
     }},
    {R"({"showMenuBarIcon": null, "updateChannel": null, "windowSearchHotkey": null})",
     [](auto&) {}},
    {R"({"updateChannel": "nightly"})", fails},
    {R"({"updateChannel": "Stable"})", fails},
    {R"({"updateChannel": 1})", fails},
    {R"({"showMenuBarIcon": 0})", fails},
    {R"({"showInDockAndAppSwitcher": "yes"})", fails},
    {R"({"windowSearchHotkey": {"keyCode": 49}})", fails},
    {R"({"windowSearchHotkey": {"keyCode": -1, "modifiers": 0}})", fails},
    {R"({"windowSearchHotkey": {"keyCode": 4294967296, "modifiers": 0}})", fails},
    {R"({"windowSearchHotkey": "⇧⌘Space"})", fails},
    {R"({"windowSearchHotkey": [49, 1179648]})", fails},
    {"[]", fails},
};

TEST(PreferenceRecordsTest, MachineFixtures) {
    for (const Machine& fixture : machineFixtures) {
        SCOPED_TRACE(fixture.json);
        if (!fixture.expect) {
            EXPECT_THROW(MachinePreferences::fromJsonData(fixture.json), PreferenceDecodingError);
            continue;
        }
        MachinePreferences expected;
        (*fixture.expect)(expected);
        EXPECT_EQ(MachinePreferences::fromJsonData(fixture.json), expected);
    }
}

TEST(PreferenceRecordsTest, DefaultsOfNewRecordsDifferFromDecodingDefaultsOnlyInDate) {
    const QDateTime now = utc(2026, 3, 14, 9, 26, 53);
    const PortablePreferences fresh = PortablePreferences::makeDefault(now);
    EXPECT_EQ(fresh.version, 12);
    EXPECT_EQ(fresh.modifiedAt, now);
    PortablePreferences decoded = PortablePreferences::fromJsonData("{}");
    EXPECT_EQ(decoded.modifiedAt, distantPast());
    decoded.modifiedAt = now;
    EXPECT_EQ(decoded, fresh);

    const MachinePreferences machine;
    EXPECT_EQ(machine.windowSearchHotkey, (KeyCombo{49, 0x120000}));
    EXPECT_EQ(machine.updateChannel, UpdateChannel::stable);
}

TEST(PreferenceRecordsTest, EncodingWritesEveryKey) {
    const QJsonObject portable =
        PortablePreferences::makeDefault(utc(2026, 1, 2, 3, 4, 5)).toJson();
    EXPECT_EQ(
        portable.keys(),
        (QStringList{"dockHoverDelayMilliseconds", "dockPreviewStyle", "enableDockHoverPreviews",
                     "enableFullSizeHoverPeek", "excludedDockAppBundleIdentifiers",
                     "includeMinimizedWindows", "includeWindowsFromOtherDisplays",
                     "includeWindowsFromOtherSpaces", "keepPasswordManagersPrivate",
                     "keepPreviewsReady", "modifiedAt", "previewWidth", "reduceAnimations",
                     "shortcutKeyCode", "shortcutModifiers", "showDockPreviewControls",
                     "skipSingleWindowDockPreviews", "syncEnabled", "version"}));
    EXPECT_EQ(portable.value("modifiedAt").toString(), "2026-01-02T03:04:05Z");
    EXPECT_EQ(portable.value("shortcutModifiers").toInteger(), 0x100000);
    EXPECT_EQ(portable.value("dockPreviewStyle").toString(), "automatic");
    EXPECT_TRUE(portable.value("excludedDockAppBundleIdentifiers").isArray());
    EXPECT_EQ(PortablePreferences().toJson().value("modifiedAt").toString(),
              "0001-01-01T00:00:00Z");

    const QJsonObject machine = MachinePreferences().toJson();
    EXPECT_EQ(machine.keys(),
              (QStringList{"automaticUpdateChecks", "showInDockAndAppSwitcher", "showMenuBarIcon",
                           "updateChannel", "windowSearchEnabled", "windowSearchHotkey"}));
    EXPECT_EQ(machine.value("updateChannel").toString(), "stable");
    EXPECT_EQ(machine.value("windowSearchHotkey").toObject().value("modifiers").toInteger(),
              0x120000);
}

TEST(PreferenceRecordsTest, RecordsRoundTripThroughJsonText) {
    PortablePreferences p = PortablePreferences::makeDefault(utc(2026, 3, 14, 9, 26, 53));
    p.previewWidth = 612.75;
    p.reduceAnimations = true;
    p.includeWindowsFromOtherSpaces = false;
    p.dockHoverDelayMilliseconds = 999;
    p.skipSingleWindowDockPreviews = true;
    p.dockPreviewStyle = DockPreviewStyle::thumbnails;
    p.excludedDockAppBundleIdentifiers = {"com.a", "org.é", "com.b"};
    p.syncEnabled = true;
    p.keepPasswordManagersPrivate = false;
    for (QJsonDocument::JsonFormat format : {QJsonDocument::Compact, QJsonDocument::Indented}) {
        const QByteArray text = QJsonDocument(p.toJson()).toJson(format);
        EXPECT_EQ(PortablePreferences::fromJsonData(text), p.normalized()) << text.data();
    }
    // The default record survives too, its distant past included.
    EXPECT_EQ(
        PortablePreferences::fromJsonData(QJsonDocument(PortablePreferences().toJson()).toJson()),
        PortablePreferences());

    MachinePreferences m;
    m.showInDockAndAppSwitcher = false;
    m.updateChannel = UpdateChannel::beta;
    m.windowSearchHotkey = {4294967295u, 0x1E0000 | 0x10000};
    EXPECT_EQ(MachinePreferences::fromJsonData(QJsonDocument(m.toJson()).toJson()), m);
}

TEST(PreferenceRecordsTest, StoredDatesKeepWholeSecondsWithTheMillisecondsBeside) {
    PortablePreferences p = PortablePreferences::makeDefault(
        QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53, 789), Qt::UTC));
    const QJsonObject json = p.toJson();
    EXPECT_EQ(json.value("modifiedAt").toString(), QStringLiteral("2026-03-14T09:26:53Z"));
    EXPECT_EQ(json.value("modifiedAtMilliseconds").toInt(), 789);
    EXPECT_EQ(PortablePreferences::fromJsonData(QJsonDocument(json).toJson()), p);
}

TEST(PreferenceRecordsTest, DatesAtTheEdgesOfTimeDecodeIntoRecordsThatEncode) {
    for (const char* date : {"9999-12-31T23:30:00-01:00", "0001-01-01T00:00:00+05:30"}) {
        const QByteArray json = QByteArray(R"({"modifiedAt": ")") + date + R"("})";
        const PortablePreferences p = PortablePreferences::fromJsonData(json);
        QJsonObject encoded;
        ASSERT_NO_THROW(encoded = p.toJson()) << date;
        EXPECT_EQ(PortablePreferences::fromJson(encoded), p) << date;
    }
}

TEST(PreferenceRecordsTest, NormalizeReplacesWidthsThatAreNotFinite) {
    for (double width :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()}) {
        PortablePreferences p;
        p.previewWidth = width;
        p.normalize();
        EXPECT_EQ(p.previewWidth, 600.0) << width;
    }
}

TEST(PreferenceRecordsTest, NormalizeLeavesDatesAndSwitchesAlone) {
    PortablePreferences p;
    p.version = 3;
    p.previewWidth = 100;
    p.dockHoverDelayMilliseconds = std::numeric_limits<std::int64_t>::min();
    p.shortcutKeyCode = 0;
    p.shortcutModifiers = 0;
    p.syncEnabled = true;
    p.modifiedAt = utc(2030, 1, 1, 0, 0, 0);
    p.normalize();
    EXPECT_EQ(p.version, 12);
    EXPECT_EQ(p.previewWidth, 360);
    EXPECT_EQ(p.dockHoverDelayMilliseconds, 100);
    EXPECT_EQ(p.shortcutKeyCode, 48);
    EXPECT_EQ(p.shortcutModifiers, 0x100000u);
    EXPECT_TRUE(p.syncEnabled);
    EXPECT_EQ(p.modifiedAt, utc(2030, 1, 1, 0, 0, 0));
}

TEST(PreferenceRecordsTest, RecordsThatCannotBeWrittenRefuseToEncode) {
    PortablePreferences p;
    p.previewWidth = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(p.toJson(), PreferenceEncodingError);
    p.previewWidth = 600;
    for (const QDateTime& bad : {QDateTime(), QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC),
                                 QDateTime(QDate(0, 12, 31), QTime(23, 0), Qt::UTC)}) {
        p.modifiedAt = bad;
        EXPECT_THROW(p.toJson(), PreferenceEncodingError);
    }
    p.modifiedAt = QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);
    EXPECT_EQ(PortablePreferences::fromJsonData(QJsonDocument(p.toJson()).toJson()).modifiedAt,
              p.modifiedAt);
}

TEST(PreferenceRecordsTest, CompactListFromEightWindowsUnderAutomatic) {
    EXPECT_TRUE(usesCompactList(DockPreviewStyle::compact, 0));
    EXPECT_TRUE(usesCompactList(DockPreviewStyle::compact, 3));
    EXPECT_FALSE(usesCompactList(DockPreviewStyle::automatic, 7));
    EXPECT_TRUE(usesCompactList(DockPreviewStyle::automatic, 8));
    EXPECT_FALSE(usesCompactList(DockPreviewStyle::thumbnails, 8));
    EXPECT_FALSE(usesCompactList(DockPreviewStyle::thumbnails, 1000));
    for (DockPreviewStyle style : allDockPreviewStyles) {
        EXPECT_EQ(dockPreviewStyleFromRawValue(rawValue(style)), style);
    }
}

}  // namespace
}  // namespace pellucine
