#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <memory>
#include <vector>

#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "base/ThreadPoolExecutor.h"
#include "core/AccessibilityWindowService.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11WindowCapture.h"
#include "support/ModelHarness.h"

namespace pellucine {
namespace {

// Xvfb with openbox and `windowCount` xterms, for the life of one benchmark.
class BenchDesktop {
  public:
    explicit BenchDesktop(int windowCount) {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "x11_bench";
            static char* argv[] = {name, nullptr};
            application_ = std::make_unique<QCoreApplication>(argc, argv);
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
            xterm->start(QStringLiteral("xterm"),
                         {QStringLiteral("-T"), QStringLiteral("bench-%1").arg(i),
                          QStringLiteral("-geometry"),
                          QStringLiteral("60x15+%1+%2").arg(20 * (i % 30)).arg(15 * (i % 30)),
                          QStringLiteral("-e"), QStringLiteral("/bin/sh")});
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
    std::unique_ptr<QCoreApplication> application_;
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

}  // namespace
}  // namespace pellucine
