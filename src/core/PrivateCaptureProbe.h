#pragma once

#include <QStringList>
#include <optional>

#include "base/AppPaths.h"
#include "base/Clock.h"
#include "platform/PrivateCaptureLoading.h"
#include "platform/ProcessEnvironment.h"
#include "platform/SystemWindowList.h"

namespace pellucine {

// A diagnostic run apart from the program's normal life: finds out whether the system's private
// window-capture entry points are present and how they behave, and writes what it found to
// "pellucine/diagnostics/private-capture-probe.txt" in Application Support. The folder is not
// created: when it is missing nothing is written. Touches no window, menu or preference and
// records no event.
struct PrivateCaptureProbeEnvironment {
    PrivateCaptureLoading& entryPoints;
    // Read only when the entry points are present; none reads as an empty list.
    const SystemWindowList* windowList = nullptr;
    const ProcessEnvironment& process;
    const WallClock& wallClock;
    // Times each capture.
    const ContinuousClock& timer;
    AppPaths paths;
};

struct PrivateCaptureProbeResult {
    QStringList lines;
    QString reportPath;
    // Why the report was not written; none when it was.
    std::optional<QString> writeFailure;
};

// The options of each capture call.
inline constexpr quint32 privateCaptureOptions = 0x900;

PrivateCaptureProbeResult runPrivateCaptureProbe(const PrivateCaptureProbeEnvironment& environment);

QString privateCaptureProbeReportPath(const AppPaths& paths);
// Writes the lines, each ended by a line feed, in UTF-8, replacing the old report at once.
// Returns why it could not; none when it was written.
std::optional<QString> writePrivateCaptureProbeReport(const QStringList& lines,
                                                      const AppPaths& paths);

// How many of up to 50 pixels sampled across the middle row are not black (their first three
// bytes add up to 31 or more). A picture that is not 32 bits per pixel, or whose bytes are
// missing or too few for its declared rows, counts 0.
int litSampleCount(const PrivateCaptureImage& image);

}  // namespace pellucine
