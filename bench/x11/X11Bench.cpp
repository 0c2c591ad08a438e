#include <benchmark/benchmark.h>
#include <xcb/xtest.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "base/ThreadPoolExecutor.h"
#include "core/AccessibilityWindowService.h"
#include "core/ScreenCapturePreviewService.h"
#include "platform/x11/X11KeyboardMap.h"
#include "platform/x11/X11WindowCapture.h"
#include "platform/x11/wiring/X11Desktop.h"
#include "support/ModelHarness.h"
#include "support/OffscreenApplication.h"
#include "x11/ReferenceCapture.h"

namespace pellucine {
namespace {

// Xvfb with openbox and `windowCount` xterms, for the life of one benchmark. With
// `distinctClasses` each added xterm has a window class of its own. The GUI application is on
// the offscreen platform: it only draws into images.
class BenchDesktop {
  public:
    explicit BenchDesktop(int windowCount, bool distinctClasses = false) {
        bench::ensureOffscreenApplication();
        if (QProcess::execute(QStringLiteral(PELLUCINE_X11_DESKTOP_SCRIPT),
                              {QStringLiteral("start"), state()}) != 0) {
            return;
        }
        QFile file(state() + QStringLiteral("/display"));
        if (!file.open(QIODevice::ReadOnly)) {
            return;
        }
        display_ = ":" + file.readAll().trimmed();
        qputenv("DISPLAY", display_);
        X11Desktop::Options options;
        options.displayName = display_;
        port_ = std::make_unique<X11Desktop>(options);
        // The fixture brings two xterms; the rest are added here, cascaded.
        for (int i = 2; i < windowCount; ++i) {
            auto xterm = std::make_unique<QProcess>();
            QStringList arguments{
                QStringLiteral("-T"), QStringLiteral("bench-%1").arg(i),
                QStringLiteral("-geometry"),
                QStringLiteral("60x15+%1+%2").arg(20 * (i % 30)).arg(15 * (i % 30))};
            if (distinctClasses) {
                arguments << QStringLiteral("-class") << QStringLiteral("BenchApp%1").arg(i);
            }
            xterm->start(QStringLiteral("xterm"),
                         arguments + QStringList{QStringLiteral("-e"), QStringLiteral("/bin/sh")});
            xterms_.push_back(std::move(xterm));
        }
        const QDeadlineTimer deadline(30000);
        while (clientCount() < windowCount && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
    }

    ~BenchDesktop() {
        port_.reset();
        for (auto& xterm : xterms_) {
            xterm->kill();
            xterm->waitForFinished(3000);
        }
        QProcess::execute(QStringLiteral(PELLUCINE_X11_DESKTOP_SCRIPT),
                          {QStringLiteral("stop"), state()});
    }

    X11Desktop* port() const { return port_.get(); }
    const QByteArray& display() const { return display_; }

    int clientCount() const {
        port_->state().invalidate();
        return static_cast<int>(port_->state().snapshot().windows.size());
    }

    static QString state() { return QStringLiteral(PELLUCINE_X11_BENCH_STATE); }

  private:
    QByteArray display_;
    std::unique_ptr<X11Desktop> port_;
    std::vector<std::unique_ptr<QProcess>> xterms_;
};

// The program's window enumeration over 30 xterms, each snapshot read from the server afresh.
void BM_EnumerateThirtyWindows(benchmark::State& state) {
    BenchDesktop desktop(30);
    if (desktop.port() == nullptr || desktop.clientCount() < 30) {
        state.SkipWithError("no desktop of 30 windows");
        return;
    }
    RecordingEventLog events;
    AccessibilityWindowService service(*desktop.port(), events);
    qsizetype windows = 0;
    for (auto _ : state) {
        desktop.port()->state().invalidate();
        events.clear();
        const QList<ApplicationDescriptor> apps = service.snapshot();
        windows = 0;
        for (const ApplicationDescriptor& app : apps) {
            windows += app.windows.size();
        }
        benchmark::DoNotOptimize(windows);
    }
    state.counters["windows"] = static_cast<double>(windows);
}
// Fixed iterations: each run starts a desktop of its own, so one run is enough.
BENCHMARK(BM_EnumerateThirtyWindows)->Unit(benchmark::kMillisecond)->Iterations(500);

// The numbers of the window manager's clients over 30 xterms, as a refresh reads them to keep
// the pictures of windows that still exist: both client lists, one round trip.
void BM_LiveWindowNumbersOfThirtyWindows(benchmark::State& state) {
    BenchDesktop desktop(30);
    if (desktop.port() == nullptr || desktop.clientCount() < 30) {
        state.SkipWithError("no desktop of 30 windows");
        return;
    }
    qsizetype count = 0;
    for (auto _ : state) {
        count = desktop.port()->windowList().liveWindowNumbers().size();
        benchmark::DoNotOptimize(count);
    }
    state.counters["windows"] = static_cast<double>(count);
}
BENCHMARK(BM_LiveWindowNumbersOfThirtyWindows)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// Enumeration and the live window numbers over 2 xterms under a stacking list of 65,536 windows
// that never were, as any client may write it: below the xterms (0) or above them (1).
void BM_EnumerateUnderABogusStackingList(benchmark::State& state) {
    BenchDesktop desktop(2);
    if (desktop.port() == nullptr || desktop.clientCount() < 2) {
        state.SkipWithError("no desktop of 2 windows");
        return;
    }
    X11Connection& connection = desktop.port()->state().connection();
    const xcb_atom_t stacking = connection.atoms()._NET_CLIENT_LIST_STACKING;
    // Bottom to top, as the window manager writes it.
    QList<xcb_window_t> real;
    for (const X11WindowInfo& info : desktop.port()->state().snapshot().windows) {
        real.prepend(info.window);
    }
    QList<xcb_window_t> bogus;
    for (xcb_window_t window = 0x1e000000; bogus.size() < 65536; ++window) {
        bogus.append(window);
    }
    const QList<xcb_window_t> list = state.range(0) == 0 ? bogus + real : real + bogus;
    xcb_change_property(connection.get(), XCB_PROP_MODE_REPLACE, connection.root(), stacking,
                        XCB_ATOM_WINDOW, 32, static_cast<uint32_t>(list.size()), list.constData());
    connection.sync();
    RecordingEventLog events;
    AccessibilityWindowService service(*desktop.port(), events);
    qsizetype windows = 0;
    for (auto _ : state) {
        desktop.port()->state().invalidate();
        events.clear();
        const QList<ApplicationDescriptor> apps = service.snapshot();
        windows = std::accumulate(
            apps.begin(), apps.end(), qsizetype{0},
            [](qsizetype n, const ApplicationDescriptor& app) { return n + app.windows.size(); });
        benchmark::DoNotOptimize(desktop.port()->windowList().liveWindowNumbers().size());
    }
    state.counters["windows"] = static_cast<double>(windows);
}
BENCHMARK(BM_EnumerateUnderABogusStackingList)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

// Managed windows of one size showing a fine pattern (checks, stripes and scattered dots, as
// busy as text), over a connection of the benchmark's own.
class PatternWindows {
  public:
    struct Framed {
        xcb_window_t client = XCB_NONE;
        xcb_window_t frame = XCB_NONE;
        QSize frameSize;
    };

    PatternWindows(const QByteArray& display, QSize size, int count)
        : connection_(xcb_connect(display.constData(), nullptr)) {
        xcb_connection_t* c = connection_;
        if (xcb_connection_has_error(c) != 0) {
            return;
        }
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        root_ = screen->root;
        QImage pattern(size, QImage::Format_RGB32);
        std::mt19937 random(7);
        for (int y = 0; y < size.height(); ++y) {
            auto* line = reinterpret_cast<quint32*>(pattern.scanLine(y));
            for (int x = 0; x < size.width(); ++x) {
                const quint32 base = ((x / 8 + y / 8) % 2 != 0) ? 0x2040a0u : 0xe0e0d0u;
                line[x] =
                    (random() % 7 == 0 ? base ^ 0xffffffu : base) ^ (y % 3 == 0 ? 0x101010u : 0);
            }
        }
        background_ = xcb_generate_id(c);
        xcb_create_pixmap(c, screen->root_depth, background_, root_,
                          static_cast<uint16_t>(size.width()),
                          static_cast<uint16_t>(size.height()));
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, background_, 0, nullptr);
        // Bands small enough for a request without BIG-REQUESTS.
        const int rows = std::max(1, 65536 / (size.width() * 4));
        for (int y = 0; y < size.height(); y += rows) {
            const int band = std::min(rows, size.height() - y);
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, background_, gc,
                          static_cast<uint16_t>(size.width()), static_cast<uint16_t>(band), 0,
                          static_cast<int16_t>(y), 0, screen->root_depth,
                          static_cast<uint32_t>(band * size.width() * 4), pattern.constScanLine(y));
        }
        xcb_free_gc(c, gc);
        for (int i = 0; i < count; ++i) {
            const xcb_window_t window = xcb_generate_id(c);
            const uint32_t values[] = {background_};
            xcb_create_window(
                c, XCB_COPY_FROM_PARENT, window, root_, static_cast<int16_t>(20 * (i % 30)),
                static_cast<int16_t>(15 * (i % 30)), static_cast<uint16_t>(size.width()),
                static_cast<uint16_t>(size.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                screen->root_visual, XCB_CW_BACK_PIXMAP, values);
            xcb_map_window(c, window);
            windows_.push_back(window);
        }
        xcb_flush(c);
    }

    ~PatternWindows() {
        for (const xcb_window_t window : windows_) {
            xcb_destroy_window(connection_, window);
        }
        if (background_ != XCB_NONE) {
            xcb_free_pixmap(connection_, background_);
        }
        xcb_disconnect(connection_);
    }

    // Each window with the frame the window manager put it in, once all are framed and mapped;
    // empty when that takes too long.
    QList<Framed> waitUntilFramed() {
        const QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            QList<Framed> framed;
            for (const xcb_window_t window : windows_) {
                if (const auto f = frameOf(window)) {
                    framed.append(*f);
                }
            }
            if (framed.size() == static_cast<qsizetype>(windows_.size())) {
                return framed;
            }
            QThread::msleep(20);
        }
        return {};
    }

  private:
    std::optional<Framed> frameOf(xcb_window_t window) {
        xcb_connection_t* c = connection_;
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr), &std::free);
        std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr),
            &std::free);
        if (!tree || !attributes || tree->parent == root_ ||
            attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
            return std::nullopt;
        }
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, tree->parent), nullptr), &std::free);
        if (!geometry) {
            return std::nullopt;
        }
        return Framed{window, tree->parent, QSize(geometry->width, geometry->height)};
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = XCB_NONE;
    xcb_pixmap_t background_ = XCB_NONE;
    std::vector<xcb_window_t> windows_;
};

// The program's capture beside the reference, both picturing the same windows one after
// another for previews 260 points wide. The time is the program's; the counters give both in
// milliseconds per window and their ratio. Arguments: window width, height and count.
void BM_CaptureBesideReference(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const int count = static_cast<int>(state.range(2));
    BenchDesktop desktop(2);
    if (desktop.port() == nullptr) {
        state.SkipWithError("no desktop");
        return;
    }
    PatternWindows windows(desktop.display(), size, count);
    const QList<PatternWindows::Framed> framed = windows.waitUntilFramed();
    if (framed.size() != count) {
        state.SkipWithError("the windows were not framed");
        return;
    }
    std::vector<QSize> targets;
    for (const PatternWindows::Framed& window : framed) {
        targets.push_back(ScreenCapturePreviewService::pixelSize(
            Size{double(window.frameSize.width()), double(window.frameSize.height())}, 260));
    }
    X11WindowCapture capture(desktop.display());
    ReferenceCapture reference(desktop.display());
    const auto program = [&] {
        for (qsizetype i = 0; i < framed.size(); ++i) {
            const X11CaptureResult result = capture.captureNow(framed[i].client, targets[i]);
            benchmark::DoNotOptimize(result.image.constBits());
            if (result.status != X11CaptureResult::Status::captured) {
                return false;
            }
        }
        return true;
    };
    const auto minimal = [&] {
        for (qsizetype i = 0; i < framed.size(); ++i) {
            const QImage image =
                reference.capture(framed[i].frame, framed[i].frameSize, targets[i]);
            benchmark::DoNotOptimize(image.constBits());
        }
    };
    if (!reference.isConnected() || !program()) {
        state.SkipWithError("capture failed");
        return;
    }
    minimal();
    // Each iteration runs both; which goes first alternates.
    Clock::duration programTime{};
    Clock::duration referenceTime{};
    bool programFirst = true;
    for (auto _ : state) {
        Clock::duration own{};
        for (int turn = 0; turn < 2; ++turn) {
            const Clock::time_point start = Clock::now();
            if ((turn == 0) == programFirst) {
                program();
                own = Clock::now() - start;
            } else {
                minimal();
                referenceTime += Clock::now() - start;
            }
        }
        programTime += own;
        programFirst = !programFirst;
        state.SetIterationTime(std::chrono::duration<double>(own).count());
    }
    const double captures = static_cast<double>(state.iterations()) * count;
    const double programMs = std::chrono::duration<double, std::milli>(programTime).count();
    const double referenceMs = std::chrono::duration<double, std::milli>(referenceTime).count();
    state.counters["program_ms"] = programMs / captures;
    state.counters["reference_ms"] = referenceMs / captures;
    state.counters["ratio"] = programMs / referenceMs;
    const std::optional<X11CaptureMethods> methods = capture.methods();
    state.counters["render"] = methods && methods->render ? 1 : 0;
    state.counters["shm"] = methods && methods->sharedMemory ? 1 : 0;
}
// Fixed iterations: each run starts a desktop of its own, so one run is enough.
const bool captureBenchmarksRegistered = [] {
    struct Case {
        int width, height, windows, iterations;
    };
    for (const Case& c : {Case{240, 160, 1, 400}, Case{800, 600, 1, 200}, Case{1920, 1080, 1, 100},
                          Case{400, 300, 100, 10}}) {
        benchmark::RegisterBenchmark("BM_CaptureBesideReference", BM_CaptureBesideReference)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->ArgNames({"width", "height", "windows"})
            ->Args({c.width, c.height, c.windows})
            ->Iterations(c.iterations);
    }
    return true;
}();

// The model's previews of 20 xterms at width 260 with nothing cached: when the first and the last
// picture were published.
void BM_LoadTwentyPreviews(benchmark::State& state) {
    BenchDesktop desktop(20);
    if (desktop.port() == nullptr || desktop.clientCount() < 20) {
        state.SkipWithError("no desktop of 20 windows");
        return;
    }
    QtScheduler scheduler(systemContinuousClock());
    ThreadPoolExecutor executor;
    RecordingEventLog events;
    ModelHarness harness(*desktop.port(), scheduler, events, systemWallClock(), executor, 260);
    runToEnd(harness.model.refreshWindows());
    QList<WindowDescriptor> windows;
    for (const ApplicationDescriptor& application : harness.model.applications().value()) {
        windows += application.windows;
    }
    timeLoads(state, harness.model, windows);
}
BENCHMARK(BM_LoadTwentyPreviews)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// A connection of its own that fakes keys and hears the root's children map and unmap.
class Keyboard {
  public:
    explicit Keyboard(const QByteArray& display)
        : connection_(xcb_connect(display.constData(), nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        layout_ = X11KeyboardLayout::read(connection_);
    }
    ~Keyboard() { xcb_disconnect(connection_); }

    void key(uint8_t type, xcb_keysym_t keysym) {
        xcb_test_fake_input(connection_, type, layout_.keycodeOf(keysym).value_or(0),
                            XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(connection_);
    }
    // Runs the program's event loop until the window is mapped (or unmapped); false after 5 s.
    bool waitFor(uint8_t type, xcb_window_t window) {
        const QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents();
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const bool seen =
                    (event->response_type & 0x7f) == type &&
                    reinterpret_cast<xcb_map_notify_event_t*>(event)->window == window;
                std::free(event);
                if (seen) {
                    return true;
                }
            }
        }
        return false;
    }

  private:
    xcb_connection_t* connection_;
    xcb_window_t root_ = XCB_NONE;
    X11KeyboardLayout layout_;
};

// Super+Tab pressed until the strip is mapped, as another client hears it, over 20
// applications; each strip is closed with Escape. Reports the median and 95th percentile of
// 50 presses.
void BM_SwitcherStripMapsAfterSuperTab(benchmark::State& state) {
    constexpr xcb_keysym_t super = 0xffeb;
    constexpr xcb_keysym_t tab = 0xff09;
    constexpr xcb_keysym_t escape = 0xff1b;
    constexpr int presses = 50;
    BenchDesktop desktop(20, true);
    if (desktop.port() == nullptr || desktop.clientCount() < 20) {
        state.SkipWithError("no desktop of 20 applications");
        return;
    }
    X11ApplicationSwitcher& switcher = desktop.port()->applicationSwitcher();
    if (!switcher.start()) {
        state.SkipWithError("Super+Tab is taken");
        return;
    }
    Keyboard keyboard(desktop.display());
    std::vector<double> samples;
    for (auto _ : state) {
        samples.clear();
        for (int i = 0; i < presses; ++i) {
            QElapsedTimer timer;
            keyboard.key(XCB_KEY_PRESS, super);
            timer.start();
            keyboard.key(XCB_KEY_PRESS, tab);
            const bool mapped = keyboard.waitFor(XCB_MAP_NOTIFY, switcher.stripWindow());
            samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            keyboard.key(XCB_KEY_RELEASE, tab);
            keyboard.key(XCB_KEY_PRESS, escape);
            keyboard.key(XCB_KEY_RELEASE, escape);
            const bool unmapped = keyboard.waitFor(XCB_UNMAP_NOTIFY, switcher.stripWindow());
            keyboard.key(XCB_KEY_RELEASE, super);
            if (!mapped || !unmapped) {
                state.SkipWithError("the strip did not come and go");
                return;
            }
        }
    }
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples[samples.size() / 2];
    state.counters["p95_ms"] = samples[(samples.size() * 95 + 99) / 100 - 1];
    const QList<RunningApplication> running = desktop.port()->workspace().runningApplications();
    state.counters["applications"] = static_cast<double>(
        std::count_if(running.begin(), running.end(), [](const RunningApplication& app) {
            return app.activationPolicy == ActivationPolicy::regular;
        }));
}
BENCHMARK(BM_SwitcherStripMapsAfterSuperTab)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace pellucine
