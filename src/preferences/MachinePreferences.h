#pragma once

#include <QJsonObject>

#include "preferences/KeyCombo.h"
#include "preferences/UpdateChannel.h"

namespace pellucine {

// The preferences of this machine only: stored locally, never synced or exported, and never
// normalised.
struct MachinePreferences {
    static constexpr KeyCombo defaultWindowSearchHotkey{KeyCombo::spaceKeyCode,
                                                        KeyCombo::shift | KeyCombo::command};

    bool showInDockAndAppSwitcher = true;
    bool showMenuBarIcon = true;
    UpdateChannel updateChannel = UpdateChannel::stable;
    bool automaticUpdateChecks = true;
    bool windowSearchEnabled = true;
    KeyCombo windowSearchHotkey = defaultWindowSearchHotkey;

    // Tolerant per member: absent or null members take the defaults; a present member of the
    // wrong type, an unknown channel or a malformed hotkey fails the whole record with
    // PreferenceDecodingError.
    static MachinePreferences fromJson(const QJsonObject& object);
    static MachinePreferences fromJsonData(const QByteArray& data);
    // All six members. Throws PreferenceEncodingError only for a hotkey modifier mask JSON
    // cannot hold exactly.
    QJsonObject toJson() const;

    friend bool operator==(const MachinePreferences&, const MachinePreferences&) = default;
};

}  // namespace pellucine
