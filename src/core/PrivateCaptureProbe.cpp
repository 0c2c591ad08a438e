#include "core/PrivateCaptureProbe.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <limits>

#include "base/AtomicFile.h"

namespace pellucine {

namespace {

constexpr int sampleCount = 50;
constexpr int litThreshold = 31;
constexpr double minimumProbedSide = 100;

// "2026-03-14 09:26:53 +0000".
QString describeDate(const QDateTime& date) {
    return date.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" +0000");
}

QString oneDecimal(double value) {
    return QString::asprintf("%.1f", value);
}

struct ProbedWindow {
    quint32 number = 0;
    bool isOnScreen = false;
};

// Ordinary windows of other processes larger than 100 points each way, with numbers that fit.
std::optional<ProbedWindow> eligible(const WindowListEntry& entry, qint32 ownPID) {
    if (entry.layer != 0) {
        return std::nullopt;
    }
    if (!entry.ownerPID || *entry.ownerPID < std::numeric_limits<qint32>::min() ||
        *entry.ownerPID > std::numeric_limits<qint32>::max() || *entry.ownerPID == ownPID) {
        return std::nullopt;
    }
    if (!entry.bounds || !(entry.bounds->width > minimumProbedSide) ||
        !(entry.bounds->height > minimumProbedSide)) {
        return std::nullopt;
    }
    if (!entry.number || *entry.number < 0 || *entry.number > std::numeric_limits<quint32>::max()) {
        return std::nullopt;
    }
    return ProbedWindow{static_cast<quint32>(*entry.number), entry.isOnScreen.value_or(false)};
}

}  // namespace

int litSampleCount(const PrivateCaptureImage& image) {
    if (!image.bytes || image.bitsPerPixel != 32 || image.width <= 0 || image.height <= 0) {
        return 0;
    }
    const QByteArray& bytes = *image.bytes;
    const qint64 rowBytes = static_cast<qint64>(image.width) * 4;
    const qint64 row = image.height / 2;
    const qint64 rowStart = row * image.bytesPerRow;
    if (image.bytesPerRow < rowBytes || rowStart + rowBytes > bytes.size()) {
        return 0;
    }
    const int step = image.width >= sampleCount ? image.width / sampleCount : 1;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData()) + rowStart;
    int lit = 0;
    for (int column = 0; column < image.width; column += step) {
        const uchar* pixel = data + static_cast<qint64>(column) * 4;
        if (pixel[0] + pixel[1] + pixel[2] >= litThreshold) {
            ++lit;
        }
    }
    return std::min(lit, sampleCount);
}

QString privateCaptureProbeReportPath(const AppPaths& paths) {
    return paths.programSupportFolder() + QStringLiteral("/diagnostics/private-capture-probe.txt");
}

std::optional<QString> writePrivateCaptureProbeReport(const QStringList& lines,
                                                      const AppPaths& paths) {
    const QString path = privateCaptureProbeReportPath(paths);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        return QStringLiteral("The folder %1 does not exist.")
            .arg(QDir::toNativeSeparators(folder));
    }
    return writeFileAtomically(path, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

PrivateCaptureProbeResult runPrivateCaptureProbe(
    const PrivateCaptureProbeEnvironment& environment) {
    PrivateCaptureProbeResult result;
    result.reportPath = privateCaptureProbeReportPath(environment.paths);
    QStringList& lines = result.lines;
    lines << QStringLiteral("private-capture probe ") + describeDate(environment.wallClock.now())
          << environment.process.operatingSystemVersionString();

    const std::unique_ptr<PrivateCaptureEntryPoints> entryPoints = environment.entryPoints.load();
    if (!entryPoints) {
        lines << QStringLiteral("symbols: MISSING");
        result.writeFailure = writePrivateCaptureProbeReport(lines, environment.paths);
        return result;
    }
    lines << QStringLiteral("symbols: present");
    const quint32 connection = entryPoints->mainConnectionID();
    const qint32 ownPID = environment.process.processIdentifier();

    const QList<WindowListEntry> windows =
        environment.windowList != nullptr
            ? environment.windowList->windows(
                  {.onScreenOnly = false, .excludeDesktopElements = true})
            : QList<WindowListEntry>{};

    int probed = 0;
    int pictures = 0;
    int blank = 0;
    int none = 0;
    std::vector<double> times;
    for (const WindowListEntry& entry : windows) {
        const auto window = eligible(entry, ownPID);
        if (!window) {
            continue;
        }
        ++probed;
        const QString head =
            QStringLiteral("window %1 onScreen=%2: ")
                .arg(window->number)
                .arg(window->isOnScreen ? QStringLiteral("true") : QStringLiteral("false"));
        const ContinuousInstant start = environment.timer.now();
        const auto images =
            entryPoints->captureWindowList(connection, window->number, privateCaptureOptions);
        const double milliseconds = toSeconds(environment.timer.now() - start) * 1000;
        times.push_back(milliseconds);
        if (!images || images->isEmpty()) {
            ++none;
            lines << head + QStringLiteral("no image, %1 ms")
                                .arg(static_cast<qint64>(std::trunc(milliseconds)));
            continue;
        }
        const PrivateCaptureImage& picture = images->first();
        const int lit = litSampleCount(picture);
        ++(lit == 0 ? blank : pictures);
        lines << head + QStringLiteral("%1x%2, %3/50 lit, %4 ms")
                            .arg(picture.width)
                            .arg(picture.height)
                            .arg(lit)
                            .arg(oneDecimal(milliseconds));
    }

    std::sort(times.begin(), times.end());
    const double median = times.empty() ? 0 : times[times.size() / 2];
    const double maximum = times.empty() ? 0 : times.back();
    lines.insert(2, QStringLiteral("summary: %1 windows, %2 pictures, %3 blank, %4 none, median "
                                   "%5 ms, max %6 ms")
                        .arg(probed)
                        .arg(pictures)
                        .arg(blank)
                        .arg(none)
                        .arg(oneDecimal(median), oneDecimal(maximum)));
    result.writeFailure = writePrivateCaptureProbeReport(lines, environment.paths);
    return result;
}

}  // namespace pellucine
