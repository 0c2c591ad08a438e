#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

#include "core/Permission.h"

namespace pellucine {

class AppModel;
struct DiagnosticsHost;

// The status part of the support file: versions, the system, the processor, the screens, the
// two permissions and the settings schema. Nothing in it names a window, an application or a
// person.
struct PrivacySafeDiagnostics {
    QString appVersion;
    QString build;
    QString macOSVersion;
    QString architecture;
    int displayCount = 0;
    QString accessibilityPermission;
    QString screenRecordingPermission;
    qint64 preferenceSchema = 0;

    friend bool operator==(const PrivacySafeDiagnostics&, const PrivacySafeDiagnostics&) = default;

    // The bundle's "CFBundleShortVersionString" and "CFBundleVersion" when they are strings
    // ("dev" otherwise), the host's system, architecture and screens, the model's permission
    // states and portable settings version. Main thread.
    static PrivacySafeDiagnostics capture(AppModel& model, const DiagnosticsHost& host);

    // One member per field, named as the field.
    QJsonObject toJson() const;
    // None unless every member is present with its type.
    static std::optional<PrivacySafeDiagnostics> fromJson(const QJsonObject& object);
};

}  // namespace pellucine
