#pragma once

#include <QString>

#include "preferences/MachinePreferences.h"
#include "preferences/PortablePreferences.h"

namespace pellucine {

// Where the model keeps its two preference records. Loads never fail (anything missing or
// unreadable gives the defaults); saves never throw, and return whether the record was stored
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
};

}  // namespace pellucine
