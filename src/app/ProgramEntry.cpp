#include "app/ProgramEntry.h"

#include <QApplication>
#include <QThreadPool>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "app/AppDelegate.h"
#include "app/DeepLink.h"
#include "app/FirstIdleTrace.h"
#include "app/InstanceChannel.h"
#include "app/LaunchDecision.h"
#include "app/ProgramActivationPolicy.h"
#include "app/ProgramIcon.h"
#include "app/ProgramSettingsFile.h"
#include "app/X11Program.h"
#include "app/X11WindowListing.h"
#include "base/AppPaths.h"
#include "base/Clock.h"
#include "base/QtScheduler.h"
#include "base/ThreadPoolExecutor.h"
#include "core/FlightRecorder.h"
#include "core/PrivateCaptureProbe.h"
#include "platform/linux/HostProcess.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/UnavailablePrivateCapture.h"
#include "platform/x11/X11Error.h"
#include "preferences/LegacyDefaultsMigration.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsFileStore.h"

namespace pellucine {

namespace {

constexpr double themedIconDelaySeconds = 1.5;

QStringList argumentsAfterProgramName(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

// Writes the private-capture report and says whether that worked; nothing else of the program
// is started.
int probePrivateCapture() {
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

// Migrates the earlier build's defaults, then reads the machine preferences. The store is kept
// for the program: the migration's write replaces a file that was kept aside, and only this
// store knows it was.
MachinePreferences migrateAndLoadMachinePreferences(std::optional<SettingsFileStore>& opened) {
    const AppPaths paths = AppPaths::fromEnvironment();
    SettingsFileStore& defaults =
        opened.emplace(ProgramSettingsFile::open(paths, FlightRecorder::shared()));
    migrateLegacyDefaults(defaults, paths);
    PreferenceStore store(defaults, paths, systemWallClock(), FlightRecorder::shared());
    return store.loadMachinePreferences();
}

}  // namespace

int runProgram(int argc, char* argv[]) {
    const QStringList arguments = argumentsAfterProgramName(argc, argv);
    std::optional<SettingsFileStore> defaults;
    const LaunchDecision decision =
        decide(QProcessEnvironment::systemEnvironment(), arguments,
               [&defaults] { return migrateAndLoadMachinePreferences(defaults); });
    if (decision.mode == LaunchMode::privateCaptureProbe) {
        return probePrivateCapture();
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pellucine"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(bundledProgramIcon());
    // Qt converts and scales large pictures on its shared pool; its workers end as soon as ours.
    QThreadPool::globalInstance()->setExpiryTimeout(ThreadPoolExecutor::idleWorkerExpiryMs);

    QtScheduler channelScheduler(systemContinuousClock());
    // The theme's icon, when one is installed, replaces the built-in one after the launch.
    const ScopedWork themedIcon(channelScheduler,
                                channelScheduler.postAfter(seconds(themedIconDelaySeconds), [] {
                                    if (const QIcon icon = themedProgramIcon(); !icon.isNull()) {
                                        QApplication::setWindowIcon(icon);
                                    }
                                }));
    std::unique_ptr<InstanceChannel> channel;
    const QStringList links = linkArguments(arguments);
    if (decision.mode == LaunchMode::application) {
        channel = std::make_unique<InstanceChannel>(InstanceChannel::userRuntimeFolder(),
                                                    channelScheduler);
        const InstanceChannel::Claim claim = channel->claim(links);
        if (claim.role == InstanceChannel::Role::forwarded) {
            return 0;
        }
        if (claim.problem) {
            std::fprintf(stderr, "%s\n", qPrintable(*claim.problem));
        }
        if (claim.role == InstanceChannel::Role::failed) {
            return 1;
        }
    }

    ProgramActivationPolicy policy(*decision.policy, X11WindowListing::forApplication());
    if (decision.mode == LaunchMode::testHost) {
        return QApplication::exec();
    }

    // Asked to end by a signal: the same road as the Quit command.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app,
                     [] { QCoreApplication::quit(); });
    std::unique_ptr<X11Program> program;
    try {
        program = std::make_unique<X11Program>(X11Program::Launch{
            arguments, QProcessEnvironment::systemEnvironment(), policy, std::move(defaults)});
    } catch (const X11Error& error) {
        std::fprintf(stderr, "Pellucine needs an X11 session: %s\n",
                     qPrintable(error.localizedDescription()));
        return 1;
    }
    AppDelegate& delegate = program->delegate();
    for (const QString& link : links) {
        delegate.receiveLink(link);
    }
    if (channel) {
        channel->setLinkHandler(
            [&delegate](const QString& link) { return delegate.receiveLink(link); });
    }
    QObject::connect(channel.get(), &InstanceChannel::reopenRequested, &delegate,
                     &AppDelegate::applicationShouldHandleReopen);
    traceFirstIdle();
    const int status = QApplication::exec();
    if (channel) {
        channel->setLinkHandler({});
    }
    program.reset();
    channel.reset();
    FlightRecorder::shared().drain();
    // The termination is over and everything the program keeps is on disk: taking the toolkit
    // apart (its windows, fonts, connection and plugins) would only keep the user waiting.
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace pellucine
