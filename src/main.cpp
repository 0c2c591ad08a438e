#include <QApplication>
#include <cstdio>
#include <cstring>

#include "base/AppPaths.h"
#include "base/Clock.h"
#include "core/PrivateCaptureProbe.h"
#include "platform/HostProcess.h"
#include "platform/UnavailablePrivateCapture.h"

namespace {

bool hasArgument(int argc, char* argv[], const char* wanted) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], wanted) == 0) {
            return true;
        }
    }
    return false;
}

// Writes the private-capture report and says whether that worked; nothing else of the program
// is started.
int probePrivateCapture() {
    using namespace pellucine;
    HostProcess process;
    // No private capture entry points exist here, so the window list is never read.
    UnavailablePrivateCapture entryPoints;
    const PrivateCaptureProbeResult result =
        runPrivateCaptureProbe({entryPoints, nullptr, process, systemWallClock(),
                                systemContinuousClock(), AppPaths::fromEnvironment()});
    if (result.writeFailure) {
        std::fprintf(stderr, "Could not write the private-capture report %s: %s\n",
                     qPrintable(result.reportPath), qPrintable(*result.writeFailure));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (hasArgument(argc, argv, "--probe-private-capture")) {
        return probePrivateCapture();
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pellucine"));
    QApplication::setQuitOnLastWindowClosed(false);
    return QApplication::exec();
}
