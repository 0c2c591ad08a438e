// The login item's autostart entry, which the desktop's tools (or the user) may have edited.
// What is read writes back to text that reads the same, and the value escapes invert.
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "platform/linux/AutostartEntry.h"

using namespace pellucine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string word = input.ConsumeRandomLengthString(256);
    const QString value = QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray text(rest.data(), static_cast<qsizetype>(rest.size()));

    FUZZ_CHECK(AutostartEntry::unescapeString(AutostartEntry::escapeString(value)) == value);
    const auto words = AutostartEntry::splitExecValue(AutostartEntry::quoteExecArgument(value));
    FUZZ_CHECK(words && *words == QStringList{value});

    if (const auto entry = AutostartEntry::fromText(text); entry && entry->isWritable()) {
        FUZZ_CHECK(AutostartEntry::fromText(entry->toText()) == entry);
    }
    AutostartEntry made;
    made.name = value;
    made.executable = QStringLiteral("/opt/") + value;
    if (made.isWritable()) {
        FUZZ_CHECK(AutostartEntry::fromText(made.toText()) == made);
    }
    return 0;
}
