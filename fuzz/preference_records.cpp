// The stored preference records: the portable record (tolerant per member, normalised) and
// this machine's record (tolerant per member, strict about its hotkey and channel). Whatever
// decodes must encode and decode to the same record.
#include "FuzzSupport.h"
#include "preferences/MachinePreferences.h"
#include "preferences/PortablePreferences.h"
#include "preferences/PreferenceCodingError.h"

using namespace pellucine;

namespace {

template <class Record>
void roundTrip(const QByteArray& data) {
    Record decoded;
    try {
        decoded = Record::fromJsonData(data);
    } catch (const PreferenceDecodingError&) {
        return;
    }
    QJsonObject encoded;
    try {
        encoded = decoded.toJson();
    } catch (const PreferenceEncodingError& error) {
        std::fprintf(stderr, "decoded but cannot be encoded: %s\n", error.what());
        std::abort();
    }
    FUZZ_CHECK(Record::fromJson(encoded) == decoded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    roundTrip<PortablePreferences>(bytes);
    roundTrip<MachinePreferences>(bytes);
    return 0;
}
