#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QStringList>
#include <cstdint>

#include "base/IsoDateTime.h"
#include "preferences/DockPreviewStyle.h"
#include "preferences/KeyCombo.h"

namespace pellucine {

// The preferences that follow the user to another machine: synced, exported and imported.
struct PortablePreferences {
    static constexpr std::int64_t currentVersion = 12;
    static constexpr double defaultPreviewWidth = 600.0;
    static constexpr double minimumPreviewWidth = 360.0;
    static constexpr double maximumPreviewWidth = 800.0;
    static constexpr std::int64_t defaultDockHoverDelayMilliseconds = 300;
    static constexpr std::int64_t minimumDockHoverDelayMilliseconds = 100;
    static constexpr std::int64_t maximumDockHoverDelayMilliseconds = 1000;
    static constexpr std::uint16_t switcherKeyCode = KeyCombo::tabKeyCode;
    static constexpr std::uint64_t switcherModifiers = KeyCombo::command;

    std::int64_t version = currentVersion;
    double previewWidth = defaultPreviewWidth;
    bool reduceAnimations = false;
    bool includeMinimizedWindows = true;
    bool includeWindowsFromOtherSpaces = true;
    bool includeWindowsFromOtherDisplays = true;
    bool enableDockHoverPreviews = true;
    std::int64_t dockHoverDelayMilliseconds = defaultDockHoverDelayMilliseconds;
    bool showDockPreviewControls = true;
    bool skipSingleWindowDockPreviews = false;
    DockPreviewStyle dockPreviewStyle = DockPreviewStyle::automatic;
    QStringList excludedDockAppBundleIdentifiers;
    bool enableFullSizeHoverPeek = true;
    bool keepPreviewsReady = true;
    bool keepPasswordManagersPrivate = true;
    bool syncEnabled = false;
    std::uint16_t shortcutKeyCode = switcherKeyCode;
    std::uint64_t shortcutModifiers = switcherModifiers;
    // A value made without a clock carries the distant past; use makeDefault for a new record.
    QDateTime modifiedAt = distantPast();

    // The record of a first launch: every default, modified now.
    static PortablePreferences makeDefault(const QDateTime& now);

    // Tolerant per member: absent or null members take their decoding values ("version" 1,
    // "modifiedAt" the distant past, the rest the defaults); a present member of the wrong type
    // fails the whole record with PreferenceDecodingError. Old narrow widths are widened, then
    // the record is normalised.
    static PortablePreferences fromJson(const QJsonObject& object);
    static PortablePreferences fromJsonData(const QByteArray& data);
    // All 19 members, "modifiedAt" as internet date-time text to whole seconds, and beside it
    // "modifiedAtMilliseconds" when the date has any. Throws PreferenceEncodingError
    // for a width that is not finite or a date that cannot be written.
    QJsonObject toJson() const;

    // Forces the switcher shortcut to Command-Tab and the current version, brings the width
    // into 360…800 (a width that is not a finite number becomes 600) and the Dock delay into
    // 100…1000 ms, and de-duplicates and sorts the excluded identifiers.
    void normalize();
    PortablePreferences normalized() const {
        PortablePreferences copy = *this;
        copy.normalize();
        return copy;
    }

    friend bool operator==(const PortablePreferences&, const PortablePreferences&) = default;
};

}  // namespace pellucine
