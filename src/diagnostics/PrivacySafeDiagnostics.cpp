#include "diagnostics/PrivacySafeDiagnostics.h"

#include <QJsonValue>

#include "coordination/AppModel.h"
#include "core/Bundle.h"
#include "diagnostics/DiagnosticsHost.h"

namespace pellucine {

namespace {

const QString appVersionKey = QStringLiteral("appVersion");
const QString buildKey = QStringLiteral("build");
const QString systemKey = QStringLiteral("macOSVersion");
const QString architectureKey = QStringLiteral("architecture");
const QString displayCountKey = QStringLiteral("displayCount");
const QString accessibilityKey = QStringLiteral("accessibilityPermission");
const QString screenRecordingKey = QStringLiteral("screenRecordingPermission");
const QString schemaKey = QStringLiteral("preferenceSchema");

QString infoText(const Bundle* bundle, const QString& key) {
    const QVariant value = bundle != nullptr ? bundle->infoDictionary().value(key) : QVariant();
    return value.typeId() == QMetaType::QString ? value.toString() : QStringLiteral("dev");
}

template <typename T>
T call(const std::function<T()>& fn) {
    return fn ? fn() : T();
}

}  // namespace

PrivacySafeDiagnostics PrivacySafeDiagnostics::capture(AppModel& model,
                                                       const DiagnosticsHost& host) {
    return {infoText(host.bundle, QStringLiteral("CFBundleShortVersionString")),
            infoText(host.bundle, QStringLiteral("CFBundleVersion")),
            call(host.systemVersion),
            call(host.architecture),
            call(host.displayCount),
            rawValue(model.permissions().accessibility().value()),
            rawValue(model.permissions().screenRecording().value()),
            model.portablePreferences().value().version};
}

QJsonObject PrivacySafeDiagnostics::toJson() const {
    return {{appVersionKey, appVersion},
            {buildKey, build},
            {systemKey, macOSVersion},
            {architectureKey, architecture},
            {displayCountKey, displayCount},
            {accessibilityKey, accessibilityPermission},
            {screenRecordingKey, screenRecordingPermission},
            {schemaKey, preferenceSchema}};
}

std::optional<PrivacySafeDiagnostics> PrivacySafeDiagnostics::fromJson(const QJsonObject& object) {
    for (const QString& key : {appVersionKey, buildKey, systemKey, architectureKey,
                               accessibilityKey, screenRecordingKey}) {
        if (!object.value(key).isString()) {
            return std::nullopt;
        }
    }
    for (const QString& key : {displayCountKey, schemaKey}) {
        const QJsonValue value = object.value(key);
        if (!value.isDouble() || value.toDouble() != static_cast<double>(value.toInteger())) {
            return std::nullopt;
        }
    }
    return PrivacySafeDiagnostics{
        object.value(appVersionKey).toString(),      object.value(buildKey).toString(),
        object.value(systemKey).toString(),          object.value(architectureKey).toString(),
        object.value(displayCountKey).toInt(),       object.value(accessibilityKey).toString(),
        object.value(screenRecordingKey).toString(), object.value(schemaKey).toInteger()};
}

}  // namespace pellucine
