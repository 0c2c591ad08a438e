// A record file in the shared sync folder, written by any machine (or anyone) sharing it.
// Whatever decodes saves and reads back as the same record.
#include "FuzzSupport.h"
#include "platform/linux/SyncFolderRecordStore.h"

using namespace pellucine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString name = QStringLiteral("portable-preferences-v1");
    const CloudRecord decoded = SyncFolderRecordStore::decode(fuzz::bytesOf(data, size), name);
    FUZZ_CHECK(decoded.recordName == name);
    const CloudRecord again =
        SyncFolderRecordStore::decode(SyncFolderRecordStore::encode(decoded), name);
    FUZZ_CHECK(again == decoded);
    return 0;
}
