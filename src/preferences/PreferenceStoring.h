#pragma once

#include <QString>
#include <optional>

#include "preferences/MachinePreferences.h"
#include "preferences/PortablePreferences.h"
#include "preferences/UnreadableCopy.h"

namespace pellucine {

// Where the model keeps its two preference records. Loads never fail (anything missing or
// unreadable gives the defaults, the portable record dated the distant past as one nobody
// edited); saves never throw, and return whether the record was stored
// durably.
class PreferenceStoring {
  public:
    virtual ~PreferenceStoring() = default;

    virtual PortablePreferences loadPortablePreferences() = 0;
    virtual MachinePreferences loadMachinePreferences() = 0;
    virtual bool savePortablePreferences(const PortablePreferences& preferences) = 0;
    virtual bool saveMachinePreferences(const MachinePreferences& preferences) = 0;
    // Reads a settings export file and returns its portable record, normalised, without
    // applying it. Throws PreferenceImportError or FileSystemError.
    virtual PortablePreferences importSettings(const QString& filePath) = 0;
    // The first stored data that loads found unreadable and replaced with defaults, and where
    // it was kept aside; nothing when all read well.
    virtual std::optional<UnreadableCopy> unreadableCopy() const { return std::nullopt; }
};

}  // namespace pellucine
