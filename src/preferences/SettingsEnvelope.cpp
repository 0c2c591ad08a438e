#include "preferences/SettingsEnvelope.h"

#include "preferences/JsonFields.h"

namespace pellucine {

namespace {

const QString schemaVersionKey = QStringLiteral("schemaVersion");
const QString portableKey = QStringLiteral("portable");

}  // namespace

SettingsEnvelope SettingsEnvelope::fromJson(const QJsonObject& object) {
    const JsonFieldReader reader(object);
    SettingsEnvelope envelope;
    envelope.schemaVersion = reader.requiredInt64(schemaVersionKey);
    envelope.portable = PortablePreferences::fromJson(reader.requiredObject(portableKey));
    return envelope;
}

QJsonObject SettingsEnvelope::toJson() const {
    QJsonObject object;
    object.insert(portableKey, portable.toJson());
    object.insert(schemaVersionKey, static_cast<qint64>(schemaVersion));
    return object;
}

}  // namespace pellucine
