#include <benchmark/benchmark.h>
#include <xcb/xtest.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <memory>
#include <vector>

#include "base/RecordingEventLog.h"
#include "core/AccessibilityWindowService.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11KeyboardMap.h"
#include "platform/x11/X11WindowCapture.h"

namespace pellucine {
namespace {

// Xvfb with openbox and `windowCount` xterms, for the life of one benchmark. With
// `distinctClasses` each added xterm has a window class of its own. The GUI application is on
// the offscreen platform: it only draws into images.
class BenchDesktop {
  public:
    explicit BenchDesktop(int windowCount, bool distinctClasses = false) {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "x11_bench";
            static char* argv[] = {name, nullptr};
            qputenv("QT_QPA_PLATFORM", "offscreen");
            application_ = std::make_unique<QGuiApplication>(argc, argv);
        }
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
    std::unique_ptr<QGuiApplication> application_;
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

// One xterm pictured for a preview 260 points wide: twice that in pixels, its own aspect. The
// argument 1 pictures it in full screen (1280 x 800) instead of at its own size.
void BM_CaptureOneWindowAtWidth260(benchmark::State& state) {
    BenchDesktop desktop(2);
    if (desktop.port() == nullptr) {
        state.SkipWithError("no desktop");
        return;
    }
    X11DesktopState& desktopState = desktop.port()->state();
    if (state.range(0) == 1) {
        desktopState.requests().setFullScreen(desktopState.snapshot().windows.first().window, true);
        const QDeadlineTimer deadline(10000);
        while (!desktopState.snapshot().windows.first().isFullScreen && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            QThread::msleep(20);
            desktopState.invalidate();
        }
    }
    const X11DesktopSnapshot snapshot = desktopState.snapshot();
    if (snapshot.windows.isEmpty()) {
        state.SkipWithError("no window");
        return;
    }
    const X11WindowInfo& window = snapshot.windows.first();
    const QRect frame = window.frameRect();
    const QSize size(520, static_cast<int>(520.0 * frame.height() / frame.width()));
    X11WindowCapture capture(desktop.display());
    for (auto _ : state) {
        const X11CaptureResult result = capture.captureNow(window.window, size);
        if (result.status != X11CaptureResult::Status::captured) {
            state.SkipWithError("capture failed");
            return;
        }
        benchmark::DoNotOptimize(result.image.constBits());
    }
    state.counters["sourcePixels"] = frame.width() * frame.height();
}
BENCHMARK(BM_CaptureOneWindowAtWidth260)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300)
    ->Arg(0)
    ->Arg(1);

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
