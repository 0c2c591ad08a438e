#include "windows/catalogue/WindowCatalogue.h"

#include <QApplication>
#include <QMenu>
#include <functional>

#include "GlanceGallery.h"
#include "SampleDesk.h"
#include "app/StatusMenu.h"
#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "coordination/AppModel.h"
#include "design/Appearance.h"
#include "design/Yard.h"
#include "design/YardFonts.h"
#include "diagnostics/DiagnosticsBench.h"
#include "diagnostics/DiagnosticsService.h"
#include "diagnostics/DiagnosticsWindow.h"
#include "diagnostics/ReportBench.h"
#include "diagnostics/ReportModel.h"
#include "diagnostics/ReportWindow.h"
#include "diagnostics/ThisAppReport.h"
#include "panels/WindowSearchPanelGeometry.h"
#include "panels/WindowSearchState.h"
#include "panels/WindowSearchView.h"
#include "platform/sim/SimulatedDesktop.h"
#include "preferences/InMemoryKeyValueStore.h"
#include "preferences/PermissionService.h"
#include "settings/AboutPage.h"
#include "settings/PellucinePageGuide.h"
#include "settings/RecordingDialogHost.h"
#include "settings/SettingsSaving.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindow.h"
#include "settings/WelcomeWindow.h"
#include "support/TempFolder.h"

namespace pellucine::testing {

namespace {

using namespace Qt::StringLiterals;
using Bay = SettingsView::Bay;
using Step = OnboardingView::Step;

const QList<std::pair<QString, Bay>> settingsPages = {{u"general"_s, Bay::general},
                                                      {u"switcher"_s, Bay::switcher},
                                                      {u"dock"_s, Bay::dock},
                                                      {u"about"_s, Bay::about}};
const QList<std::pair<QString, Step>> welcomeSteps = {{u"introduction"_s, Step::introduction},
                                                      {u"permissions"_s, Step::permissions},
                                                      {u"dock"_s, Step::dock}};
const QList<std::pair<QString, ReportProblem::Phase>> reportPhases = {
    {u"writing"_s, ReportProblem::Phase::writing()},
    {u"sending"_s, ReportProblem::Phase::sending()},
    {u"sent"_s, ReportProblem::Phase::sent(u"R-2041"_s)},
    {u"saved"_s, ReportProblem::Phase::saved(u"/home/user/Desktop/PELLUCINE-report.txt"_s,
                                             u"The report service could not be reached."_s)},
    {u"emailed"_s, ReportProblem::Phase::emailed(u"/home/user/Desktop/PELLUCINE-report.txt"_s)}};
// Catalogue names of the gallery's sheets.
const QList<std::pair<QString, QString>> glanceSheets = {
    {u"glance-grid"_s, u"glance-command-tab"_s},
    {u"glance-dock"_s, u"glance-dock"_s},
    {u"glance-compact"_s, u"glance-dock-compact"_s},
    {u"peek"_s, u"peek"_s}};

// Pins the locale and registers the bundled faces before anything is laid out.
bool prepareApplication() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Yard::registerBundledFonts();
    return true;
}

}  // namespace

// The simulated desktop with a few applications running, the model over it and everything the
// program's windows are made from.
struct WindowCatalogue::Desk {
    Desk() {
        desktop.setOwnProcessIdentifier(1);
        addApp(1, u"PELLUCINE"_s, u"com.orrinvale.pellucine"_s);
        for (qint32 pid : {20, 21, 22}) {
            addApp(pid, u"XTerm"_s, u"xterm"_s);
        }
        addApp(30, u"Mousepad"_s, u"org.xfce.mousepad"_s);
        desktop.simulatedPermissions().setAccessibility(SimulatedPermission::granted);
        desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::granted);
        // As on a Linux desktop with a taskbar.
        desktop.simulatedDockRequests().setKind(SystemDock::Kind::taskbar);
        permissions = std::make_unique<PermissionService>(desktop, scheduler, events);
        diagnostics = std::make_unique<DiagnosticsService>(*model, diagnosticsHost(), [] {});
        writeLog();
    }

    void addApp(qint32 pid, const QString& name, const QString& identifier) {
        RunningApplication app;
        app.processIdentifier = pid;
        app.bundleIdentifier = identifier;
        app.localizedName = name;
        desktop.addApplication(app);
    }

    DiagnosticsHost diagnosticsHost() {
        return {&bundle, [] { return u"Linux 6.1 (Debian 12)"_s; }, [] { return u"x86_64"_s; },
                [] { return 1; }, folder.path() + u"/diagnostics"_s};
    }
    // A short event log, so that the diagnostics list is not empty.
    void writeLog() const {
        const QString path = FlightRecorder::logFilePath(folder.path() + u"/diagnostics"_s);
        QByteArray lines;
        for (int n = 1; n <= 12; ++n) {
            lines += R"({"at":"2026-03-14T09:26:53.589Z","event":"settings-opened","source":")" +
                     QByteArray::number(n) + "\"}\n";
        }
        writeFile(path, lines);
    }

    SettingsContext settingsContext(DialogHost& host) {
        SettingsContext context{host,
                                scheduler,
                                scheduler.clocks().wall,
                                desktop,
                                defaults,
                                folder.paths(),
                                nullptr,
                                &bundle,
                                QUrl(u"https://pellucine.orrinvale.com"_s),
                                u"com.orrinvale.pellucine"_s,
                                {},
                                {},
                                ReportProblem::Delivery::of(reportConfig(), reports.environment())};
        context.aboutPage = [this](SettingsView& view) {
            return new AboutPage(
                {*model, bundle, *diagnostics, savePanel, events, desktop.urlOpener(),
                 *reports.desk, scheduler.clocks().wall, QUrl(u"https://pellucine.orrinvale.com"_s),
                 folder.path() + u"/data"_s, folder.path(), [&view] { view.saving().markSaved(); },
                 [](const QString&) {}, [] {}, [] {}, view.context().reports,
                 view.context().desktop.systemDock().kind()});
        };
        return context;
    }

    ReportProblem::Config reportConfig() {
        auto config =
            ReportProblem::Config::thisApp({*diagnostics, defaults, events, reports.desktop()});
        config.endpoint = reportEndpoint;
        return config;
    }

    void settle() {
        QCoreApplication::sendPostedEvents();
        scheduler.runUntilIdle();
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents();
    }

    bool prepared = prepareApplication();
    TempFolder folder;
    // The gallery's desk: its model serves every window, its sheets the glances.
    gallery::SampleDesk sampleDesk;
    ManualScheduler& scheduler = sampleDesk.scheduler();
    SimulatedDesktop& desktop = sampleDesk.desktop();
    RecordingEventLog& events = sampleDesk.events();
    AppModel* model = &sampleDesk.model();
    InMemoryKeyValueStore defaults;
    Bundle bundle{{{u"CFBundleShortVersionString"_s, u"1.0.0"_s}, {u"CFBundleVersion"_s, u"41"_s}},
                  {}};
    RecordingDialogHost dialogs;
    ScriptedSavePanel savePanel;
    ReportBench reports;
    std::unique_ptr<PermissionService> permissions;
    std::unique_ptr<DiagnosticsService> diagnostics;
    WindowSearchState searchState;
    QUrl reportEndpoint;
    // Settings windows follow it from the start, as the program's do.
    Appearance appearance;

    // The open window, and what it needs besides.
    std::unique_ptr<QWidget> window;
    std::unique_ptr<SettingsWindow> settings;
    std::unique_ptr<StatusMenu> statusMenu;
    QPointer<QWidget> shown;
};

const QStringList& WindowCatalogue::names() {
    static const QStringList all = [] {
        QStringList names;
        for (const auto& page : settingsPages) {
            names << u"settings-"_s + page.first;
        }
        for (const auto& step : welcomeSteps) {
            names << u"welcome-"_s + step.first;
        }
        for (const auto& page : settingsPages) {
            names << u"guide-"_s + page.first;
        }
        names << u"diagnostics"_s;
        for (const auto& phase : reportPhases) {
            names << u"report-"_s + phase.first;
        }
        names << u"status-menu"_s;
        for (const auto& sheet : glanceSheets) {
            names << sheet.first;
        }
        names << u"search-panel"_s;
        return names;
    }();
    return all;
}

WindowCatalogue::WindowCatalogue() : desk_(std::make_unique<Desk>()) {}

WindowCatalogue::~WindowCatalogue() {
    close();
}

void WindowCatalogue::close() {
    Desk& d = *desk_;
    d.shown.clear();
    d.window.reset();
    d.settings.reset();
    d.statusMenu.reset();
    delete ReportProblem::currentWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    d.scheduler.runUntilIdle();
}

SettingsView* WindowCatalogue::settingsView() const {
    return desk_->settings ? desk_->settings->view() : nullptr;
}

void WindowCatalogue::setReportEndpoint(const QUrl& endpoint) {
    desk_->reportEndpoint = endpoint;
}

QWidget* WindowCatalogue::open(const QString& name, ColorScheme scheme) {
    if (!names().contains(name)) {
        return nullptr;
    }
    close();
    Desk& d = *desk_;
    d.appearance.setForcedScheme(scheme);
    const auto settingsWindow = [&d](Bay bay) {
        d.settings = std::make_unique<SettingsWindow>(
            *d.model, [&d](DialogHost& host) { return d.settingsContext(host); },
            SettingsWindow::Options{&d.dialogs, &d.appearance});
        d.settings->view()->setBay(bay);
        d.settings->present();
        d.settle();
        return d.settings.get();
    };
    for (const auto& [page, bay] : settingsPages) {
        if (name == u"settings-"_s + page) {
            d.shown = settingsWindow(bay);
        } else if (name == u"guide-"_s + page) {
            settingsWindow(bay)->view()->setShowingHelp(true);
            d.settle();
            d.shown = d.settings->view()->guide();
        }
    }
    for (const auto& [step, value] : welcomeSteps) {
        if (name == u"welcome-"_s + step) {
            const QStringList keys =
                d.model->machinePreferences().value().windowSearchHotkey.keycapLabels();
            auto welcome = std::make_unique<WelcomeWindow>(*d.permissions, d.scheduler, value, keys,
                                                           OnboardingView::Actions{[] {}, [] {}});
            welcome->view()->setDock(d.desktop.systemDock().kind());
            welcome->present(value);
            d.shown = welcome.get();
            d.window = std::move(welcome);
        }
    }
    if (name == u"diagnostics"_s) {
        auto diagnostics = std::make_unique<DiagnosticsWindow>(
            DiagnosticsView::Context{*d.diagnostics, d.savePanel, [] {}});
        diagnostics->present();
        d.shown = diagnostics.get();
        d.window = std::move(diagnostics);
    }
    for (const auto& [phase, value] : reportPhases) {
        if (name == u"report-"_s + phase) {
            ReportProblem::Model::draft() = u"The switcher froze after I pressed Tab twice."_s;
            ReportProblem::openWindow(
                d.reportConfig(),
                value.is(ReportProblem::Phase::Kind::writing) ? std::nullopt : std::optional(value),
                d.reports.environment());
            if (value.is(ReportProblem::Phase::Kind::sending)) {
                ReportProblem::currentWindow()->model()->setPhase(value);
            }
            d.shown = ReportProblem::currentWindow();
        }
    }
    if (name == u"status-menu"_s) {
        d.statusMenu = std::make_unique<StatusMenu>([&d, scheme] {
            StatusMenuState state;
            state.scheme = scheme;
            state.accessibility = PermissionState::granted;
            state.screenRecording = PermissionState::granted;
            state.windowSearchHotkey = d.model->machinePreferences().value().windowSearchHotkey;
            state.currentVersion = u"1.0.0"_s;
            state.targetApplicationName = u"Mousepad"_s;
            return std::pair{makeStatusMenu(state), scheme};
        });
        d.statusMenu->popup({40, 40});
        d.shown = &d.statusMenu->menu();
    }
    for (const auto& [sheet, galleryName] : glanceSheets) {
        if (name == sheet) {
            d.window = gallery::makeGlanceSheet(d.sampleDesk, galleryName);
            d.window->show();
            d.shown = d.window.get();
        }
    }
    if (name == u"search-panel"_s) {
        QList<WindowSearch::Candidate> candidates;
        const QStringList titles = {u"~/projects — make"_s, u"notes.txt — Mousepad"_s,
                                    u"Inbox — 3 unread"_s, u"htop"_s, u"README.md — Mousepad"_s};
        for (int i = 0; i < titles.size(); ++i) {
            WindowSearch::Candidate c;
            c.window.id = static_cast<quint32>(i + 1);
            c.window.title = titles[i];
            c.window.applicationName =
                titles[i].contains(u"Mousepad"_s) ? u"Mousepad"_s : u"XTerm"_s;
            candidates.append(c);
        }
        d.searchState.setTotalCount(candidates.size());
        d.searchState.setCandidates(candidates);
        d.searchState.refresh();
        auto view = std::make_unique<WindowSearchView>(d.searchState, WindowSearchView::Callbacks{},
                                                       nullptr);
        view->resize(static_cast<int>(WindowSearchPanelGeometry::panelWidth),
                     static_cast<int>(WindowSearchPanelGeometry::panelHeight(candidates.size())));
        view->show();
        d.shown = view.get();
        d.window = std::move(view);
    }
    if (d.shown && d.shown != d.settings.get()) {
        Yard::setScheme(d.shown, scheme);
    }
    d.settle();
    return d.shown;
}

}  // namespace pellucine::testing
