#pragma once

#include <QJsonObject>
#include <cstdint>

#include "preferences/PortablePreferences.h"

namespace pellucine {

// The settings export file: {"portable": …, "schemaVersion": 12}.
struct SettingsEnvelope {
    static constexpr std::int64_t currentSchemaVersion = 12;

    std::int64_t schemaVersion = currentSchemaVersion;
    PortablePreferences portable;

    // Both members are required; throws PreferenceDecodingError.
    static SettingsEnvelope fromJson(const QJsonObject& object);
    // Throws PreferenceEncodingError when the portable record cannot be written.
    QJsonObject toJson() const;

    friend bool operator==(const SettingsEnvelope&, const SettingsEnvelope&) = default;
};

}  // namespace pellucine
