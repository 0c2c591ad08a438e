// The receipt left for the next launch by an update. Whatever it holds, it is read once and
// removed, and only a recent receipt that names a known page is taken.
#include "FuzzSupport.h"
#include "base/ManualScheduler.h"
#include "preferences/JsonFields.h"
#include "preferences/PreferenceCodingError.h"
#include "preferences/SettingsUpdateResume.h"

using namespace pellucine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    try {
        const auto receipt = SettingsUpdateResume::Receipt::fromJson(parseJsonObject(bytes));
        const auto again = SettingsUpdateResume::Receipt::fromJson(receipt.toJson());
        FUZZ_CHECK(again.pane == receipt.pane);
        FUZZ_CHECK(again.writtenAt == receipt.writtenAt);
    } catch (const PreferenceDecodingError&) {
    }

    static const FakeWallClock clock;
    static ManualScheduler scheduler;
    static SettingsUpdateResume resume(AppPaths::under(fuzz::scratchFolder()), clock, scheduler,
                                       {});
    fuzz::writeFile(resume.receiptPath(), bytes);
    const auto taken = resume.takeReceipt();
    FUZZ_CHECK(!QFile::exists(resume.receiptPath()));
    if (taken) {
        const double now = SettingsUpdateResume::referenceSeconds(clock.now());
        FUZZ_CHECK(taken->writtenAt <= now);
        FUZZ_CHECK(now - taken->writtenAt < SettingsUpdateResume::receiptLifetimeSeconds);
        FUZZ_CHECK(SettingsUpdateResume::knownPanes().contains(taken->pane));
    }
    return 0;
}
