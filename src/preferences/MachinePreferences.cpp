#include "preferences/MachinePreferences.h"

#include "preferences/JsonFields.h"

namespace pellucine {

namespace {

namespace key {
const QString showInDockAndAppSwitcher = QStringLiteral("showInDockAndAppSwitcher");
const QString showMenuBarIcon = QStringLiteral("showMenuBarIcon");
const QString updateChannel = QStringLiteral("updateChannel");
const QString automaticUpdateChecks = QStringLiteral("automaticUpdateChecks");
const QString windowSearchEnabled = QStringLiteral("windowSearchEnabled");
const QString windowSearchHotkey = QStringLiteral("windowSearchHotkey");
}  // namespace key

}  // namespace

MachinePreferences MachinePreferences::fromJson(const QJsonObject& object) {
    const JsonFieldReader reader(object);
    MachinePreferences m;
    m.showInDockAndAppSwitcher = reader.optionalBool(key::showInDockAndAppSwitcher).value_or(true);
    m.showMenuBarIcon = reader.optionalBool(key::showMenuBarIcon).value_or(true);
    if (const auto raw = reader.optionalString(key::updateChannel)) {
        const auto channel = updateChannelFromRawValue(*raw);
        if (!channel) {
            reader.fail(key::updateChannel, QStringLiteral("isn’t stable or beta"));
        }
        m.updateChannel = *channel;
    }
    m.automaticUpdateChecks = reader.optionalBool(key::automaticUpdateChecks).value_or(true);
    m.windowSearchEnabled = reader.optionalBool(key::windowSearchEnabled).value_or(true);
    if (const auto hotkey = reader.optionalObject(key::windowSearchHotkey)) {
        m.windowSearchHotkey = KeyCombo::fromJson(*hotkey, reader.pathOf(key::windowSearchHotkey));
    }
    return m;
}

MachinePreferences MachinePreferences::fromJsonData(const QByteArray& data) {
    return fromJson(parseJsonObject(data));
}

QJsonObject MachinePreferences::toJson() const {
    QJsonObject o;
    o.insert(key::showInDockAndAppSwitcher, showInDockAndAppSwitcher);
    o.insert(key::showMenuBarIcon, showMenuBarIcon);
    o.insert(key::updateChannel, rawValue(updateChannel));
    o.insert(key::automaticUpdateChecks, automaticUpdateChecks);
    o.insert(key::windowSearchEnabled, windowSearchEnabled);
    o.insert(key::windowSearchHotkey, windowSearchHotkey.toJson());
    return o;
}

}  // namespace pellucine
