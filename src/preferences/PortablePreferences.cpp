#include "preferences/PortablePreferences.h"

#include <QJsonArray>
#include <algorithm>
#include <cmath>
#include <limits>

#include "preferences/JsonFields.h"
#include "preferences/PreferenceCodingError.h"

namespace pellucine {

namespace {

// Records before this version stored a narrower default width; such widths are widened.
constexpr std::int64_t versionBeforeWiderPreviews = 12;
constexpr double oldNarrowPreviewWidth = 520.0;
constexpr std::int64_t versionWhenMissing = 1;

namespace key {
const QString version = QStringLiteral("version");
const QString previewWidth = QStringLiteral("previewWidth");
const QString reduceAnimations = QStringLiteral("reduceAnimations");
const QString includeMinimizedWindows = QStringLiteral("includeMinimizedWindows");
const QString includeWindowsFromOtherSpaces = QStringLiteral("includeWindowsFromOtherSpaces");
const QString includeWindowsFromOtherDisplays = QStringLiteral("includeWindowsFromOtherDisplays");
const QString enableDockHoverPreviews = QStringLiteral("enableDockHoverPreviews");
const QString dockHoverDelayMilliseconds = QStringLiteral("dockHoverDelayMilliseconds");
const QString showDockPreviewControls = QStringLiteral("showDockPreviewControls");
const QString skipSingleWindowDockPreviews = QStringLiteral("skipSingleWindowDockPreviews");
const QString dockPreviewStyle = QStringLiteral("dockPreviewStyle");
const QString excludedDockAppBundleIdentifiers = QStringLiteral("excludedDockAppBundleIdentifiers");
const QString syncEnabled = QStringLiteral("syncEnabled");
const QString enableFullSizeHoverPeek = QStringLiteral("enableFullSizeHoverPeek");
const QString keepPreviewsReady = QStringLiteral("keepPreviewsReady");
const QString keepPasswordManagersPrivate = QStringLiteral("keepPasswordManagersPrivate");
const QString shortcutKeyCode = QStringLiteral("shortcutKeyCode");
const QString shortcutModifiers = QStringLiteral("shortcutModifiers");
const QString modifiedAt = QStringLiteral("modifiedAt");
const QString modifiedAtMilliseconds = QStringLiteral("modifiedAtMilliseconds");
}  // namespace key

void readBool(const JsonFieldReader& reader, const QString& name, bool& field) {
    if (const auto value = reader.optionalBool(name)) {
        field = *value;
    }
}

}  // namespace

PortablePreferences PortablePreferences::makeDefault(const QDateTime& now) {
    PortablePreferences preferences;
    preferences.modifiedAt = now.toUTC();
    return preferences;
}

PortablePreferences PortablePreferences::fromJson(const QJsonObject& object) {
    const JsonFieldReader reader(object);
    PortablePreferences p;
    p.version = reader.optionalInt64(key::version).value_or(versionWhenMissing);
    p.previewWidth = reader.optionalDouble(key::previewWidth).value_or(defaultPreviewWidth);
    readBool(reader, key::reduceAnimations, p.reduceAnimations);
    readBool(reader, key::includeMinimizedWindows, p.includeMinimizedWindows);
    readBool(reader, key::includeWindowsFromOtherSpaces, p.includeWindowsFromOtherSpaces);
    readBool(reader, key::includeWindowsFromOtherDisplays, p.includeWindowsFromOtherDisplays);
    readBool(reader, key::enableDockHoverPreviews, p.enableDockHoverPreviews);
    p.dockHoverDelayMilliseconds = reader.optionalInt64(key::dockHoverDelayMilliseconds)
                                       .value_or(defaultDockHoverDelayMilliseconds);
    readBool(reader, key::showDockPreviewControls, p.showDockPreviewControls);
    readBool(reader, key::skipSingleWindowDockPreviews, p.skipSingleWindowDockPreviews);
    if (const auto raw = reader.optionalString(key::dockPreviewStyle)) {
        const auto style = dockPreviewStyleFromRawValue(*raw);
        if (!style) {
            reader.fail(key::dockPreviewStyle,
                        QStringLiteral("isn’t one of automatic, thumbnails or compact"));
        }
        p.dockPreviewStyle = *style;
    }
    p.excludedDockAppBundleIdentifiers =
        reader.optionalStringArray(key::excludedDockAppBundleIdentifiers).value_or(QStringList{});
    readBool(reader, key::enableFullSizeHoverPeek, p.enableFullSizeHoverPeek);
    readBool(reader, key::keepPreviewsReady, p.keepPreviewsReady);
    readBool(reader, key::keepPasswordManagersPrivate, p.keepPasswordManagersPrivate);
    readBool(reader, key::syncEnabled, p.syncEnabled);
    p.shortcutKeyCode = static_cast<std::uint16_t>(
        reader.optionalUnsigned(key::shortcutKeyCode, std::numeric_limits<std::uint16_t>::max())
            .value_or(switcherKeyCode));
    p.shortcutModifiers =
        reader.optionalUnsigned(key::shortcutModifiers, std::numeric_limits<std::uint64_t>::max())
            .value_or(switcherModifiers);
    p.modifiedAt = reader.optionalDate(key::modifiedAt).value_or(distantPast());
    // The date holds whole seconds, as older copies read it; the milliseconds beside it order
    // edits made within one second. A value that is not one is passed over, never fatal.
    const QJsonValue milliseconds = object.value(key::modifiedAtMilliseconds);
    if (p.modifiedAt.isValid() && milliseconds.isDouble()) {
        const double ms = milliseconds.toDouble();
        if (ms >= 1 && ms <= 999 && ms == std::floor(ms)) {
            p.modifiedAt = p.modifiedAt.addMSecs(static_cast<qint64>(ms));
        }
    }

    if (p.version < versionBeforeWiderPreviews && p.previewWidth <= oldNarrowPreviewWidth) {
        p.previewWidth = defaultPreviewWidth;
    }
    p.normalize();
    return p;
}

PortablePreferences PortablePreferences::fromJsonData(const QByteArray& data) {
    return fromJson(parseJsonObject(data));
}

QJsonObject PortablePreferences::toJson() const {
    if (!std::isfinite(previewWidth)) {
        throw PreferenceEncodingError(QStringLiteral(
            "The settings couldn’t be written: “previewWidth” isn’t a finite number."));
    }
    QJsonObject o;
    o.insert(key::version, static_cast<qint64>(version));
    o.insert(key::previewWidth, previewWidth);
    o.insert(key::reduceAnimations, reduceAnimations);
    o.insert(key::includeMinimizedWindows, includeMinimizedWindows);
    o.insert(key::includeWindowsFromOtherSpaces, includeWindowsFromOtherSpaces);
    o.insert(key::includeWindowsFromOtherDisplays, includeWindowsFromOtherDisplays);
    o.insert(key::enableDockHoverPreviews, enableDockHoverPreviews);
    o.insert(key::dockHoverDelayMilliseconds, static_cast<qint64>(dockHoverDelayMilliseconds));
    o.insert(key::showDockPreviewControls, showDockPreviewControls);
    o.insert(key::skipSingleWindowDockPreviews, skipSingleWindowDockPreviews);
    o.insert(key::dockPreviewStyle, rawValue(dockPreviewStyle));
    o.insert(key::excludedDockAppBundleIdentifiers,
             QJsonArray::fromStringList(excludedDockAppBundleIdentifiers));
    o.insert(key::syncEnabled, syncEnabled);
    o.insert(key::enableFullSizeHoverPeek, enableFullSizeHoverPeek);
    o.insert(key::keepPreviewsReady, keepPreviewsReady);
    o.insert(key::keepPasswordManagersPrivate, keepPasswordManagersPrivate);
    o.insert(key::shortcutKeyCode, static_cast<qint64>(shortcutKeyCode));
    o.insert(key::shortcutModifiers, unsignedJsonValue(shortcutModifiers, key::shortcutModifiers));
    o.insert(key::modifiedAt, dateJsonValue(modifiedAt, key::modifiedAt));
    if (const int ms = modifiedAt.time().msec(); ms > 0) {
        o.insert(key::modifiedAtMilliseconds, ms);
    }
    return o;
}

void PortablePreferences::normalize() {
    shortcutKeyCode = switcherKeyCode;
    shortcutModifiers = switcherModifiers;
    version = currentVersion;
    if (!std::isfinite(previewWidth)) {
        previewWidth = defaultPreviewWidth;
    }
    if (previewWidth <= minimumPreviewWidth) {
        previewWidth = minimumPreviewWidth;
    }
    if (previewWidth > maximumPreviewWidth) {
        previewWidth = maximumPreviewWidth;
    }
    dockHoverDelayMilliseconds =
        std::clamp(dockHoverDelayMilliseconds, minimumDockHoverDelayMilliseconds,
                   maximumDockHoverDelayMilliseconds);
    excludedDockAppBundleIdentifiers.removeDuplicates();
    std::sort(excludedDockAppBundleIdentifiers.begin(), excludedDockAppBundleIdentifiers.end());
}

}  // namespace pellucine
