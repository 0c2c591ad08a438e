// The event log as found on disk: any bytes, read back from the end in blocks of any size, and
// shown as rows. The lines read must be exactly those a plain front-to-back split selects.
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QLocale>
#include <QTimeZone>

#include "FuzzSupport.h"
#include "base/LogTail.h"
#include "core/FlightRecorder.h"

using namespace pellucine;

namespace {

QList<QByteArray> expectedLines(const QByteArray& content, const LogTail& tail, qsizetype count) {
    QList<QByteArray> lines;
    for (const QByteArray& line : content.split('\n')) {
        if (!line.isEmpty() && line.size() <= tail.maximumLineLength &&
            LogTail::isValidUtf8(line)) {
            lines.append(line);
        }
    }
    return lines.mid(std::max<qsizetype>(0, lines.size() - std::max<qsizetype>(0, count)));
}

int memoryFile(const QByteArray& content) {
    const int fd = ::memfd_create("flight", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, content.constData(), static_cast<size_t>(content.size())) ==
               content.size());
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    LogTail tail;
    tail.blockSize = input.ConsumeIntegralInRange<qsizetype>(1, 300);
    tail.maximumLineLength = input.ConsumeIntegralInRange<qsizetype>(1, 400);
    const int limit = input.ConsumeIntegralInRange(-2, 40);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray content(rest.data(), static_cast<qsizetype>(rest.size()));

    const int fd = memoryFile(content);
    const auto lines = tail.lastLines(fd, limit);
    ::close(fd);
    FUZZ_CHECK(lines.has_value());
    FUZZ_CHECK(*lines == expectedLines(content, tail, limit));

    static const QString directory = fuzz::scratchFolder() + QStringLiteral("/diagnostics");
    fuzz::writeFile(FlightRecorder::logFilePath(directory), content);
    const auto rows = FlightRecorder::readRecentEvents(directory, limit);
    FUZZ_CHECK(rows.size() <= std::max(0, limit));
    for (const ReadableDiagnosticEvent& row : rows) {
        FUZZ_CHECK(!row.id.isNull());
    }

    // Any line as a time stamp, in a zone far from UTC.
    static const QTimeZone zone(14 * 3600);
    const QString at = QString::fromUtf8(content.left(64));
    FUZZ_CHECK(!FlightRecorder::readableTimestamp(at, QLocale(QLocale::German), zone).isNull() ||
               at.isNull());
    return 0;
}
