// A settings file chosen for import. An accepted file gives a normalised record that exports
// and imports again unchanged.
#include "FuzzSupport.h"
#include "preferences/PreferenceCodingError.h"
#include "preferences/PreferenceImportError.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsEnvelope.h"

using namespace pellucine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PortablePreferences imported;
    try {
        imported = PreferenceStore::decodeImport(fuzz::bytesOf(data, size));
    } catch (const PreferenceImportError&) {
        return 0;
    }
    FUZZ_CHECK(imported == imported.normalized());
    SettingsEnvelope envelope;
    envelope.portable = imported;
    QByteArray exported;
    try {
        exported = PreferenceStore::encode(envelope.toJson());
    } catch (const PreferenceEncodingError& error) {
        std::fprintf(stderr, "imported but cannot be exported: %s\n", error.what());
        std::abort();
    }
    FUZZ_CHECK(PreferenceStore::decodeImport(exported) == imported);
    return 0;
}
