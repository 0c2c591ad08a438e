#include "app/X11Program.h"

#include <malloc.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/AppDelegate.h"
#include "app/LaunchChoices.h"
#include "app/LaunchDecision.h"
#include "app/ProgramSettingsFile.h"
#include "app/WebsiteURL.h"
#include "app/X11HotkeyReader.h"
#include "coordination/AppCoordinator.h"
#include "coordination/AppModel.h"
#include "core/FlightRecorder.h"
#include "design/YardFonts.h"
#include "diagnostics/DiagnosticsWindow.h"
#include "diagnostics/ReportConfig.h"
#include "diagnostics/ReportWindow.h"
#include "diagnostics/ThisAppReport.h"
#include "panels/GlanceContentView.h"
#include "panels/PanelFonts.h"
#include "panels/SwitcherPanelController.h"
#include "panels/WindowSearchController.h"
#include "platform/linux/updater/ExecutableRelaunch.h"
#include "platform/linux/updater/FeedUpdater.h"
#include "platform/x11/shell/X11ShellRenderer.h"
#include "settings/AboutPage.h"
#include "settings/SettingsSaving.h"
#include "settings/SettingsTransferFlow.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindow.h"

namespace pellucine {

namespace {

// Sync goes through the folder chosen in the user defaults, as it is at each operation.
X11Desktop::Options desktopOptions(const AppPaths& paths, const KeyValueStore& defaults) {
    X11Desktop::Options options;
    options.paths = paths;
    // Points are Qt's device-independent pixels: the port converts at the ratio Qt draws the
    // main screen at (from QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS or Xft.dpi).
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        options.pointScale = primary->devicePixelRatio();
    }
    options.syncFolder = [&defaults] { return CloudPreferenceSync::chosenSyncFolder(defaults); };
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (const auto pressure = memoryPressureFileOverride(environment)) {
        options.memoryPressure.path = *pressure;
    }
    options.appearance.desktopNames =
        environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(u':', Qt::SkipEmptyParts);
    options.appearance.portal = true;
    options.appearance.gsettings = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    options.appearance.kdeGlobals = paths.defaults + QStringLiteral("/kdeglobals");
    return options;
}

// The scheme the desktop's preference states; none leaves it to Qt's palette.
std::optional<ColorScheme> statedScheme(SchemePreference preference) {
    switch (preference) {
        case SchemePreference::dark:
            return ColorScheme::dark;
        case SchemePreference::light:
            return ColorScheme::light;
        case SchemePreference::none:
            break;
    }
    return std::nullopt;
}

void waitForEventLog() {
    FlightRecorder::shared().drain();
}

// How long quitting waits for the settings to reach the sync folder.
constexpr int quitPushMilliseconds = 3000;

QCoro::Task<void> quitLoopWhenDone(QCoro::Task<void> task, QPointer<QEventLoop> loop) {
    co_await task;
    if (loop) {
        loop->quit();
    }
}

// Runs the event loop until `task` has ended, or for quitPushMilliseconds at most.
void finishAtQuit(QCoro::Task<void> task) {
    QEventLoop loop;
    QTimer::singleShot(quitPushMilliseconds, &loop, &QEventLoop::quit);
    const QCoro::Task<void> waiting = quitLoopWhenDone(std::move(task), &loop);
    if (!waiting.isReady()) {
        loop.exec();
    }
}

// The program's top-level windows, front to back as far as Qt knows.
QList<SettingsUpdateResume::WindowSummary> programWindows() {
    QList<SettingsUpdateResume::WindowSummary> windows;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        windows.append({widget->windowTitle(), widget->isVisible()});
    }
    return windows;
}

FeedUpdater::Setup updaterSetup(const UpdateEnvironment& environment, const AppPaths& paths) {
    return {environment.bundleFeed(),
            Bundle::infoString(QStringLiteral("SUPublicEDKey"), environment.bundle),
            environment.buildVersion(),
            environment.currentVersion(),
            QSysInfo::kernelVersion(),
            environment.executablePath,
            paths.programSupportFolder() + QStringLiteral("/updater.json")};
}

// The panels' faces and the switcher strip's, which the first Super+Tab draws.
QList<QFont> warmedFonts() {
    QList<QFont> fonts = panelFonts();
    fonts.append(X11ShellRenderer::switcherLabelFont());
    return fonts;
}

}  // namespace

X11Program::X11Program(const Launch& launch)
    : paths_(AppPaths::fromEnvironment()),
      defaults_(launch.defaults ? *launch.defaults
                                : ProgramSettingsFile::open(paths_, FlightRecorder::shared())),
      desktop_(desktopOptions(paths_, defaults_)),
      environment_({desktop_, scheduler_, FlightRecorder::shared(), systemWallClock(), executor_,
                    defaults_, paths_, waitForEventLog}),
      updateDialogs_(desktop_.urlOpener(), &appearance_),
      settingsResume_(paths_, systemWallClock(), scheduler_, programWindows),
      diagnostics_(environment_.model(),
                   DiagnosticsHost::standard(desktop_, FlightRecorder::shared().directory()),
                   waitForEventLog),
      savePanel_(paths_.desktop),
      reportEnvironment_(
          ReportProblem::Environment::standard(paths_, desktop_.urlOpener(), network_)),
      onboarding_(defaults_),
      activation_(desktop_.state().connection()),
      icons_(desktop_.state()),
      glance_{desktop_.workspace(),
              desktop_.screenLayout(),
              icons_,
              scheduler_,
              FlightRecorder::shared(),
              measurer_,
              [this] { return panelWindows_.compositingManagerRunning(); },
              &appearance_,
              panelWindows_},
      hotkeys_(desktop_.globalHotkeys(), scheduler_, FlightRecorder::shared()),
      windows_({environment_.model(), scheduler_, FlightRecorder::shared(), onboarding_,
                appearance_,
                [this] {
                    return applicationCommands(
                        {[]() -> ShellCommandTarget* { return AppDelegate::shared(); },
                         [this] { desktop_.applicationLifecycle().terminate(); },
                         &desktop_.urlOpener(), productWebsite()});
                },
                [this] { return makeSettingsWindow(); }, [this] { return makeDiagnosticsWindow(); },
                [this](const std::optional<ReportProblem::Phase>& phase) { openReport(phase); },
                &activation_, [this] { return desktop_.applicationSwitcher().binding(); },
                [this] { return desktop_.systemDock().kind(); }, &desktop_.keyboardState()}),
      panelFonts_(scheduler_, seconds(panelFontWarmUpDelay), FontWarmUp::Later(warmedFonts)) {
    reportEnvironment_.appearance = &appearance_;
    DesktopAppearance& desktopAppearance = desktop_.appearance();
    appearance_.setStatedScheme(statedScheme(desktopAppearance.preference()));
    desktopScheme_ = desktopAppearance.subscribe([this](SchemePreference preference) {
        appearance_.setStatedScheme(statedScheme(preference));
    });
    AppModel& model = environment_.model();
    UpdateController& updates = model.updates();
    updates.setHost(
        {FeedUpdater::factory(updaterSetup(UpdateEnvironment::ofProcess(), paths_),
                              {scheduler_, systemWallClock(), updateDialogs_,
                               [](const QString& executable) {
                                   return relaunchAfterExit(executable,
                                                            QCoreApplication::applicationPid());
                               },
                               [this] { desktop_.applicationLifecycle().terminate(); }}),
         [this] { windows_.activate(); }, [this] { settingsResume_.rememberOpenSettings(); }});

    startApplicationSwitcher();
    switcherIcons_ =
        ScopedWork(scheduler_, scheduler_.postAfter(seconds(switcherIconsDelay), [this] {
            desktop_.applicationSwitcher().prepareIcons();
            // The start-up is over: what it freed and the font pages it read go back.
            malloc_trim(0);
            Yard::releaseBundledFontPages();
        }));

    AppDelegate::Services services{model,
                                   desktop_,
                                   FlightRecorder::shared(),
                                   scheduler_,
                                   appearance_,
                                   windows_,
                                   [this] { desktop_.applicationLifecycle().terminate(); },
                                   productWebsite()};
    AppDelegate::Lifecycle lifecycle{onboarding_,
                                     notifications_,
                                     launch.activationPolicy,
                                     Bundle::main(),
                                     [this] { return makeCoordinator(); },
                                     [this](SettingsUpdateResume::SettingsOpener open) {
                                         settingsResume_.resumeIfNeeded(std::move(open));
                                     },
                                     launch.arguments,
                                     launch.environment,
                                     reportEnvironment_.desktopFolder,
                                     waitForEventLog,
                                     isRunningTests(),
                                     finishAtQuit};
    app_ = std::make_unique<MainApp>(
        std::make_unique<AppDelegate>(std::move(services), std::move(lifecycle)));
}

X11Program::~X11Program() {
    app_.reset();
    desktop_.applicationSwitcher().stop();
}

void X11Program::startApplicationSwitcher() {
    X11ApplicationSwitcher& switcher = desktop_.applicationSwitcher();
    if (switcher.start()) {
        const SwitcherBinding binding = switcher.binding().value_or(SwitcherBinding{});
        FlightRecorder::shared().record(QStringLiteral("application-switcher-started"),
                                        {{QStringLiteral("commandTabMode"), binding.name()}});
        if (binding.isFallback()) {
            std::fputs(qPrintable(SwitcherBinding::notice(binding) + QLatin1Char('\n')), stderr);
        }
        return;
    }
    using Problem = X11ApplicationSwitcher::StartProblem;
    const Problem problem = switcher.startProblem();
    const char* reason = problem == Problem::superKeyHeld      ? "super-key-held"
                         : problem == Problem::combinationHeld ? "combination-held"
                                                               : "keyboard-unavailable";
    FlightRecorder::shared().record(QStringLiteral("application-switcher-unavailable"),
                                    {{QStringLiteral("reason"), QString::fromLatin1(reason)}});
    const char* text =
        problem == Problem::superKeyHeld
            ? "The Super key is held by another program (a window manager that opens its menu "
              "on Super, such as icewm with Win95Keys=1): the application switcher is off.\n"
        : problem == Problem::combinationHeld
            ? "Super+Tab and Super+Ctrl+Tab are taken by another program: the application "
              "switcher is off.\n"
            : "The keyboard cannot be followed: the application switcher is off.\n";
    std::fputs(text, stderr);
}

std::unique_ptr<ShellCoordinating> X11Program::makeCoordinator() {
    AppModel& model = environment_.model();
    return std::make_unique<AppCoordinator>(
        model, AppCoordinator::Platform{desktop_, scheduler_, FlightRecorder::shared()},
        AppCoordinator::Panels{
            SwitcherPanelController::factory(model, glance_),
            [this, &model](WindowSearchControlling::Recency recency) {
                return std::make_unique<WindowSearchController>(
                    model, std::move(recency),
                    WindowSearchController::Platform{
                        desktop_, scheduler_, FlightRecorder::shared(), hotkeys_,
                        [this] {
                            HotkeyConflicts::Sources sources =
                                HotkeyConflicts::readSources(desktop_.keyboardShortcuts(), paths_);
                            sources.ownSwitcher = desktop_.applicationSwitcher().binding();
                            return sources;
                        },
                        [this] { notifications_.postNeedsPermissions(); }, &icons_, &appearance_,
                        panelWindows_});
            }});
}

ReportProblem::Config X11Program::reportConfig() {
    return ReportProblem::Config::thisApp(
        {diagnostics_, defaults_, FlightRecorder::shared(), reportEnvironment_.desktopFolder});
}

void X11Program::openReport(const std::optional<ReportProblem::Phase>& phase) {
    ReportProblem::openWindow(reportConfig(), phase, reportEnvironment_);
}

std::unique_ptr<QWidget> X11Program::makeSettingsWindow() {
    AppModel& model = environment_.model();
    const auto context = [this, &model](DialogHost& dialogs) {
        SettingsContext context{
            dialogs,
            scheduler_,
            systemWallClock(),
            desktop_,
            defaults_,
            paths_,
            &settingsResume_,
            &Bundle::main(),
            websiteURL(),
            Bundle::infoString(QStringLiteral("CFBundleIdentifier"), Bundle::main()),
            ApplicationNames::fromDesktopEntries(),
            {},
            ReportProblem::Delivery::of(reportConfig(), reportEnvironment_)};
        context.hotkeyKeyboard = X11HotkeyReader::applicationKeyboard();
        context.aboutPage = [this, &model](SettingsView& view) {
            return new AboutPage(
                {model, Bundle::main(), diagnostics_, savePanel_, FlightRecorder::shared(),
                 desktop_.urlOpener(), *reportEnvironment_.files, systemWallClock(), websiteURL(),
                 paths_.programSupportFolder(), QDir::homePath(),
                 [&view] { view.saving().markSaved(); },
                 [&view](const QString& text) { view.transfer().setImportErrorMessage(text); },
                 [this] {
                     if (AppDelegate::shared() != nullptr) {
                         windows_.showReportWindow(std::nullopt);
                     }
                 },
                 [this] { notifications_.postShowDiagnostics(); }, view.context().reports,
                 view.context().desktop.systemDock().kind(),
                 view.context().desktop.systemSwitcher().binding()});
        };
        return context;
    };
    return std::make_unique<SettingsWindow>(model, context,
                                            SettingsWindow::Options{nullptr, &appearance_});
}

std::unique_ptr<QWidget> X11Program::makeDiagnosticsWindow() {
    return std::make_unique<DiagnosticsWindow>(
        DiagnosticsView::Context{diagnostics_, savePanel_, [] {
                                     if (AppDelegate* delegate = AppDelegate::shared()) {
                                         delegate->showPermissions();
                                     }
                                 }});
}

}  // namespace pellucine
