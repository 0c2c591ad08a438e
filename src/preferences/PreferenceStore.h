#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <functional>
#include <optional>

#include "base/AppPaths.h"
#include "base/Clock.h"
#include "base/EventRecording.h"
#include "preferences/KeyValueStore.h"
#include "preferences/PreferenceStoring.h"

namespace pellucine {

// Keeps the preference records as pretty-printed JSON data in the user defaults.
//
// A stored record that fails to decode loads as the defaults, but its bytes are first copied to
// "unreadable-<key>-<time>.json" in the program's folder (once per distinct content, never over
// an earlier copy) and "stored-preferences-unreadable" is recorded. A record that cannot be
// encoded is not written: the stored data stays and "preferences-not-saved" is recorded.
class PreferenceStore final : public PreferenceStoring {
  public:
    static constexpr qint64 importSizeLimit = 1024 * 1024;

    static inline const QString portableKey = QStringLiteral("portablePreferences");
    static inline const QString machineKey = QStringLiteral("machinePreferences");

    PreferenceStore(KeyValueStore& defaults, AppPaths paths, const WallClock& clock,
                    EventRecording& events);

    PortablePreferences loadPortablePreferences() override;
    MachinePreferences loadMachinePreferences() override;
    bool savePortablePreferences(const PortablePreferences& preferences) override;
    bool saveMachinePreferences(const MachinePreferences& preferences) override;
    PortablePreferences importSettings(const QString& filePath) override;
    // The whole file's copy first, when the file was not the program's own.
    std::optional<UnreadableCopy> unreadableCopy() const override;

    // The data part of import: more than 1 MiB is fileTooLarge, anything that is not an
    // envelope is malformed, a schema outside 1…12 is incompatibleSchema.
    static PortablePreferences decodeImport(const QByteArray& data);
    // The store's encoder: pretty-printed UTF-8 JSON with sorted keys. The settings export is
    // written with it.
    static QByteArray encode(const QJsonObject& object);

  private:
    // The record stored under a key; nothing when the key is empty or its value does not
    // decode, after a copy of that value was kept aside.
    template <class Record>
    std::optional<Record> loadRecord(const QString& key, Record (*decode)(const QByteArray& data));
    void keepUnreadable(const QString& key, const QVariant& stored, EventFields fields);
    // Encodes and stores a record; a record that cannot be encoded leaves the stored one alone.
    bool store(const QString& key, const std::function<QJsonObject()>& encodeRecord);

    KeyValueStore& defaults_;
    AppPaths paths_;
    const WallClock& clock_;
    EventRecording& events_;
    std::optional<UnreadableCopy> firstUnreadable_;
};

}  // namespace pellucine
