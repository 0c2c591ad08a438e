#include "preferences/PreferenceStore.h"

#include <QJsonDocument>

#include "base/RegularFile.h"
#include "preferences/FileSystemError.h"
#include "preferences/JsonFields.h"
#include "preferences/PreferenceCodingError.h"
#include "preferences/PreferenceImportError.h"
#include "preferences/SettingsEnvelope.h"
#include "preferences/UnreadableCopy.h"

namespace pellucine {

namespace {

const QString unreadableEvent = QStringLiteral("stored-preferences-unreadable");
const QString notSavedEvent = QStringLiteral("preferences-not-saved");

QByteArray bytesOf(const QVariant& stored) {
    if (stored.typeId() == QMetaType::QByteArray) {
        return stored.toByteArray();
    }
    return stored.toString().toUtf8();
}

}  // namespace

PreferenceStore::PreferenceStore(KeyValueStore& defaults, AppPaths paths, const WallClock& clock,
                                 EventRecording& events)
    : defaults_(defaults), paths_(std::move(paths)), clock_(clock), events_(events) {}

template <class Record>
std::optional<Record> PreferenceStore::loadRecord(const QString& key,
                                                  Record (*decode)(const QByteArray& data)) {
    const QVariant stored = defaults_.value(key);
    if (!stored.isValid()) {
        return std::nullopt;
    }
    if (stored.typeId() != QMetaType::QByteArray) {
        keepUnreadable(key, stored, {{QStringLiteral("reason"), QStringLiteral("not-data")}});
        return std::nullopt;
    }
    try {
        return decode(stored.toByteArray());
    } catch (const PreferenceDecodingError& error) {
        keepUnreadable(key, stored,
                       {{QStringLiteral("reason"), QStringLiteral("undecodable")},
                        {QStringLiteral("errorType"), error.typeName()}});
        return std::nullopt;
    }
}

PortablePreferences PreferenceStore::loadPortablePreferences() {
    if (auto loaded = loadRecord(portableKey, &PortablePreferences::fromJsonData)) {
        loaded->normalize();
        return *loaded;
    }
    // Nobody edited it yet: the distant past, so that it never wins over a synced edit.
    return PortablePreferences{};
}

MachinePreferences PreferenceStore::loadMachinePreferences() {
    return loadRecord(machineKey, &MachinePreferences::fromJsonData).value_or(MachinePreferences{});
}

bool PreferenceStore::savePortablePreferences(const PortablePreferences& preferences) {
    return store(portableKey, [&] { return preferences.normalized().toJson(); });
}

bool PreferenceStore::saveMachinePreferences(const MachinePreferences& preferences) {
    return store(machineKey, [&] { return preferences.toJson(); });
}

bool PreferenceStore::store(const QString& key, const std::function<QJsonObject()>& encodeRecord) {
    QByteArray data;
    try {
        data = encode(encodeRecord());
    } catch (const PreferenceEncodingError& error) {
        // What is stored stays: better the previous record than none.
        events_.record(notSavedEvent, {{QStringLiteral("source"), key},
                                       {QStringLiteral("reason"), QStringLiteral("unencodable")},
                                       {QStringLiteral("errorType"), error.typeName()}});
        return false;
    }
    if (!defaults_.setValue(key, data)) {
        events_.record(notSavedEvent, {{QStringLiteral("source"), key},
                                       {QStringLiteral("reason"), QStringLiteral("write-failed")}});
        return false;
    }
    return true;
}

void PreferenceStore::keepUnreadable(const QString& key, const QVariant& stored,
                                     EventFields fields) {
    fields.insert(QStringLiteral("source"), key);
    const UnreadableCopy copy = UnreadableCopy::keep(
        paths_.programSupportFolder(), key, QStringLiteral("json"), bytesOf(stored), clock_.now());
    fields.insert(QStringLiteral("result"), copy.result);
    events_.record(unreadableEvent, fields);
    if (!firstUnreadable_) {
        firstUnreadable_ = copy;
    }
}

std::optional<UnreadableCopy> PreferenceStore::unreadableCopy() const {
    if (std::optional<UnreadableCopy> whole = defaults_.unreadableCopy()) {
        return whole;
    }
    return firstUnreadable_;
}

PortablePreferences PreferenceStore::importSettings(const QString& filePath) {
    const RegularFileRead read = readRegularFile(filePath, importSizeLimit);
    switch (read.failure) {
        case RegularFileRead::Failure::none:
            break;
        case RegularFileRead::Failure::notRegular:
            throw PreferenceImportError::malformed();
        case RegularFileRead::Failure::tooLarge:
            throw PreferenceImportError::fileTooLarge();
        case RegularFileRead::Failure::missing:
        case RegularFileRead::Failure::unreadable:
            throw FileSystemError::fromErrno(filePath, read.errorCode);
    }
    return decodeImport(read.data);
}

PortablePreferences PreferenceStore::decodeImport(const QByteArray& data) {
    if (data.size() > importSizeLimit) {
        throw PreferenceImportError::fileTooLarge();
    }
    SettingsEnvelope envelope;
    try {
        envelope = SettingsEnvelope::fromJson(parseJsonObject(data));
    } catch (const PreferenceDecodingError&) {
        throw PreferenceImportError::malformed();
    }
    if (envelope.schemaVersion < 1 ||
        envelope.schemaVersion > SettingsEnvelope::currentSchemaVersion) {
        throw PreferenceImportError::incompatibleSchema(envelope.schemaVersion);
    }
    return envelope.portable.normalized();
}

QByteArray PreferenceStore::encode(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

}  // namespace pellucine
