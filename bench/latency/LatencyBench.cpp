// How fast the program answers its keys on a real X server, beside rofi as a reference, and
// how much memory it holds while it does. Usage: latency_bench [CYCLES [MEMORY_CYCLES]].

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QThread>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/PreviewCache.h"
#include "latency/BenchDesktop.h"
#include "latency/BenchDisplay.h"
#include "latency/LatencyFigures.h"

namespace pellucine {
namespace {

constexpr xcb_keysym_t superKey = 0xffeb;
constexpr xcb_keysym_t shiftKey = 0xffe1;
constexpr xcb_keysym_t tabKey = 0xff09;
constexpr xcb_keysym_t escapeKey = 0xff1b;
constexpr xcb_keysym_t spaceKey = 0x20;

constexpr int latencyClients = 20;
constexpr int memoryClients = 30;
constexpr int restedCycles = 9;
// Longer than an idle worker waits for more work before it ends.
constexpr int settleSeconds = 8;
constexpr int activationTimeoutMs = 2000;
constexpr int activationRetryMs = 100;
constexpr unsigned long restMs = 2000;
// A picture of a client's window fills far more pixels with its colour than any icon could.
constexpr int pictureColourPixels = 400;
constexpr int colourTolerance = 16;
constexpr int answerTimeoutMs = 3000;
constexpr int emptyProgramRuns = 5;
constexpr int idleSeconds = 60;

double millisecondsOf(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

struct Timing {
    double mapped = 0;
    double ready = 0;
    // Whether the cycle began with the window it asked for active; one that did not waited out
    // the request at rest and is left out of the figures.
    bool activated = true;
};

struct Samples {
    std::vector<double> mapped;
    std::vector<double> ready;
    int failures = 0;
    int refused = 0;

    void add(const std::optional<Timing>& timing) {
        if (!timing) {
            ++failures;
            return;
        }
        if (!timing->activated) {
            ++refused;
            return;
        }
        mapped.push_back(timing->mapped);
        ready.push_back(timing->ready);
    }
};

class LatencyRun {
  public:
    LatencyRun(BenchDesktop& desktop, BenchDisplay& display)
        : desktop_(desktop), display_(display) {}

    // The client windows of the running clients, once `count` of them (or, `atMost`, no more)
    // are listed.
    bool waitForClients(int count, bool atMost = false) {
        return display_.waitUntil(
            QDeadlineTimer(30000),
            [&] {
                refreshClients();
                return atMost ? clientWindows_.size() <= count : clientWindows_.size() >= count;
            },
            50);
    }
    int clientCount() const { return static_cast<int>(clientWindows_.size()); }

    // Keeps, of the clients that take the focus, those the window manager makes active when
    // asked; the cycles turn to these alone, so that none of them waits out a refused request.
    void keepActivatable() {
        QList<xcb_window_t> kept;
        for (const xcb_window_t window : std::as_const(focusable_)) {
            if (makeActive(window)) {
                kept.append(window);
            }
        }
        focusable_ = kept;
    }
    int activatableCount() const { return static_cast<int>(focusable_.size()); }

    // Super+Tab until the glance is mapped with the picture of every window of the application
    // it shows; then Escape and Super let go. The previous active window is the one highlighted;
    // `rotation` picks which client is made active first, so that the cycles go round them.
    std::optional<Timing> glanceCycle(int rotation) {
        const bool activated = activate(rotation);
        display_.key(superKey, true);
        display_.sync();
        QElapsedTimer clock;
        clock.start();
        display_.key(tabKey, true);
        std::optional<double> mapped;
        const bool drawn = display_.waitUntil(QDeadlineTimer(answerTimeoutMs), [&] {
            if (!find(glance_, QStringLiteral("Pellucine previews")) ||
                !display_.isViewable(glance_)) {
                return false;
            }
            if (!mapped) {
                mapped = millisecondsOf(clock);
            }
            return picturesDrawn();
        });
        const double ready = millisecondsOf(clock);
        display_.key(tabKey, false);
        display_.key(escapeKey, true);
        display_.key(escapeKey, false);
        display_.key(superKey, false);
        find(strip_, QStringLiteral("Pellucine Switcher"));
        waitHidden({glance_, strip_});
        if (!drawn) {
            return std::nullopt;
        }
        return Timing{*mapped, ready, activated};
    }

    // The window-search hotkey until its panel is mapped and holds the input focus; then
    // Escape.
    std::optional<Timing> searchCycle() {
        display_.key(shiftKey, true);
        display_.key(superKey, true);
        display_.sync();
        QElapsedTimer clock;
        clock.start();
        display_.key(spaceKey, true);
        std::optional<double> mapped;
        const bool focused = display_.waitUntil(QDeadlineTimer(answerTimeoutMs), [&] {
            if (!find(search_, QStringLiteral("Search Windows")) || !display_.isViewable(search_)) {
                return false;
            }
            if (!mapped) {
                mapped = millisecondsOf(clock);
            }
            return display_.hasFocus(search_);
        });
        const double ready = millisecondsOf(clock);
        display_.key(spaceKey, false);
        display_.key(superKey, false);
        display_.key(shiftKey, false);
        display_.key(escapeKey, true);
        display_.key(escapeKey, false);
        waitHidden({search_});
        if (!focused) {
            return std::nullopt;
        }
        return Timing{*mapped, ready};
    }

    // `rofi -show window` from its start until its window is mapped, with its resident memory
    // then; then it is ended.
    struct RofiRun {
        double mapped = 0;
        qint64 residentKiB = 0;
    };
    std::optional<RofiRun> rofiRun() {
        display_.takeMapped();
        QProcess rofi;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(desktop_.displayName()));
        rofi.setProcessEnvironment(environment);
        rofi.setStandardOutputFile(QProcess::nullDevice());
        rofi.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        rofi.start(QStringLiteral("rofi"), {QStringLiteral("-show"), QStringLiteral("window")});
        xcb_window_t window = XCB_NONE;
        const bool shown = display_.waitUntil(QDeadlineTimer(answerTimeoutMs * 2), [&] {
            for (const xcb_window_t mapped : display_.takeMapped()) {
                if (window == XCB_NONE && display_.holdsClass(mapped, "rofi")) {
                    window = mapped;
                }
            }
            return window != XCB_NONE && display_.isViewable(window);
        });
        const double elapsed = millisecondsOf(clock);
        const qint64 resident = BenchDesktop::residentKiBOf(rofi.processId());
        rofi.terminate();
        if (!rofi.waitForFinished(5000)) {
            rofi.kill();
            rofi.waitForFinished(5000);
        }
        waitHidden({window});
        if (!shown) {
            return std::nullopt;
        }
        return RofiRun{elapsed, resident};
    }

  private:
    void refreshClients() {
        QHash<quint32, QColor> colours;
        for (const BenchDesktop::Client& client : desktop_.clients()) {
            colours.insert(static_cast<quint32>(client.processIdentifier), client.colour);
        }
        clientWindows_.clear();
        windowColours_.clear();
        windowProcesses_.clear();
        focusable_.clear();
        for (const xcb_window_t window : display_.clients()) {
            const std::optional<quint32> pid = display_.processOf(window);
            if (pid && colours.contains(*pid)) {
                clientWindows_.append(window);
                windowColours_.append(colours.value(*pid));
                windowProcesses_.append(*pid);
                if (display_.takesFocus(window)) {
                    focusable_.append(window);
                }
            }
        }
    }

    // Only clients that take the focus: asking for one that takes none leaves the previous one
    // active, and the wait for it to become active would leave the program at rest for the
    // whole timeout, measuring a glance after a pause instead.
    bool activate(int rotation) {
        if (focusable_.isEmpty()) {
            return false;
        }
        const xcb_window_t window = focusable_[rotation % focusable_.size()];
        return makeActive(window);
    }

    // Asks again while the window is not active: the request can land before the activation the
    // program makes as its switcher closes, which then wins.
    bool makeActive(xcb_window_t window) {
        const QDeadlineTimer deadline(activationTimeoutMs);
        while (!deadline.hasExpired()) {
            display_.activate(window);
            if (display_.waitUntil(QDeadlineTimer(activationRetryMs),
                                   [&] { return display_.activeWindow() == window; })) {
                return true;
            }
        }
        return false;
    }

    // Looks the window up by name until it is found once; the program keeps its panels.
    bool find(xcb_window_t& window, const QString& name) {
        if (window == XCB_NONE) {
            if (const auto found = display_.findByName(name)) {
                window = *found;
                display_.watchStructure(window);
            }
        }
        return window != XCB_NONE;
    }

    // Every window of one client process shows its colour on the glance. The program counts a
    // process as one application.
    bool picturesDrawn() {
        const std::optional<QList<int>> counts =
            display_.countColours(glance_, windowColours_, colourTolerance);
        if (!counts) {
            return false;
        }
        QHash<quint32, bool> complete;
        for (qsizetype i = 0; i < counts->size(); ++i) {
            const bool shown = counts->at(i) >= pictureColourPixels;
            const quint32 pid = windowProcesses_[i];
            complete.insert(pid, complete.value(pid, true) && shown);
        }
        for (qsizetype i = 0; i < counts->size(); ++i) {
            if (counts->at(i) >= pictureColourPixels && complete.value(windowProcesses_[i])) {
                return true;
            }
        }
        return false;
    }

    void waitHidden(const QList<xcb_window_t>& windows) {
        display_.waitUntil(
            QDeadlineTimer(5000),
            [&] {
                return std::none_of(windows.begin(), windows.end(), [&](xcb_window_t window) {
                    return window != XCB_NONE && display_.isViewable(window);
                });
            },
            5);
    }

    BenchDesktop& desktop_;
    BenchDisplay& display_;
    QList<xcb_window_t> clientWindows_;
    QList<xcb_window_t> focusable_;
    QList<QColor> windowColours_;
    QList<quint32> windowProcesses_;
    xcb_window_t glance_ = XCB_NONE;
    xcb_window_t strip_ = XCB_NONE;
    xcb_window_t search_ = XCB_NONE;
};

// The resident memory once two readings 200 ms apart differ by less than 256 KiB, or after
// five seconds.
qint64 settledResidentKiB(const BenchDesktop& desktop) {
    qint64 previous = desktop.residentKiB();
    for (int i = 0; i < 25; ++i) {
        QThread::msleep(200);
        const qint64 current = desktop.residentKiB();
        if (std::abs(current - previous) < 256) {
            return current;
        }
        previous = current;
    }
    return previous;
}

void print(const char* label, const LatencyFigures& figures) {
    std::printf("%-34s %s\n", label, qPrintable(figures.describe()));
}

// One row of the summary: the figure, the program's value, the peer's of the same run, and
// their ratio.
void printRow(const char* figure, const QString& value, const QString& peer, double ratioToPeer) {
    std::printf("  %-38s %-24s %-34s %6.2f\n", figure, qPrintable(value), qPrintable(peer),
                ratioToPeer);
}

QString ms(double value) {
    return QStringLiteral("%1 ms").arg(value, 0, 'f', 1);
}

QString mib(double kib) {
    return QStringLiteral("%1 MB").arg(kib / 1024, 0, 'f', 1);
}

int run(int cycles, int memoryCycles) {
    BenchDesktop desktop;
    if (!desktop.start()) {
        return 1;
    }
    BenchDisplay display(desktop.displayName());
    if (!display.isConnected()) {
        std::fprintf(stderr, "cannot connect to %s\n", desktop.displayName().constData());
        return 1;
    }
    LatencyRun latency(desktop, display);
    for (int i = 0; i < memoryClients; ++i) {
        desktop.addClient(i);
    }
    if (!latency.waitForClients(memoryClients)) {
        std::fprintf(stderr, "the client windows were not mapped\n");
        return 1;
    }
    if (!desktop.startProgram()) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    double startUp = -1;
    if (display.waitUntil(QDeadlineTimer(15000), [&] { return desktop.programIdle(); })) {
        startUp = desktop.millisecondsSinceProgramStart();
    }
    // Without a tray a later launch opens Settings; it is closed so that only clients remain.
    std::optional<xcb_window_t> settings;
    display.waitUntil(
        QDeadlineTimer(15000),
        [&] {
            settings = display.findByName(QStringLiteral("PELLUCINE Settings"));
            return settings && display.isViewable(*settings);
        },
        50);
    if (settings) {
        display.close(*settings);
        display.waitUntil(
            QDeadlineTimer(5000), [&] { return !display.isViewable(*settings); }, 20);
    }
    const auto listed = [&](int count) {
        const QByteArray windows = "\"windowCount\":\"" + QByteArray::number(count) + '"';
        return display.waitUntil(
            QDeadlineTimer(15000),
            [&] {
                return desktop.logHas({"\"windows-refreshed\"", windows});
            },
            50);
    };
    if (!listed(memoryClients)) {
        std::fprintf(stderr, "the program never listed the windows\n");
        return 1;
    }

    const qint64 idle = settledResidentKiB(desktop);
    std::printf("start-up to idle loop: %.1f ms\n", startUp);
    std::printf("resident memory, idle with %d windows: %lld KiB\n", memoryClients,
                static_cast<long long>(idle));
    // Pages of files (libraries, fonts, font caches) and shared memory are counted in full, however
    // many processes share them.
    const qint64 idleAnonymous = desktop.residentKiB("RssAnon:");
    std::printf("  of which anonymous %lld KiB, file pages %lld KiB, shared memory %lld KiB\n",
                static_cast<long long>(idleAnonymous),
                static_cast<long long>(desktop.residentKiB("RssFile:")),
                static_cast<long long>(desktop.residentKiB("RssShmem:")));
    const std::optional<Timing> firstGlance = latency.glanceCycle(0);
    int failures = firstGlance ? 0 : 1;
    for (int i = 1; i < memoryCycles; ++i) {
        failures += latency.glanceCycle(i) ? 0 : 1;
        if ((i + 1) % 50 == 0) {
            std::printf("  after %3d glance cycles: %lld KiB\n", i + 1,
                        static_cast<long long>(desktop.residentKiB()));
        }
    }
    const qint64 after = settledResidentKiB(desktop);
    const qint64 peak = desktop.residentKiB("VmHWM:");
    std::printf(
        "resident memory after %d glance cycles: %lld KiB (%+lld KiB), peak %lld KiB, "
        "%d cycles timed out\n",
        memoryCycles, static_cast<long long>(after), static_cast<long long>(after - idle),
        static_cast<long long>(peak), failures);

    desktop.stopClients(memoryClients - latencyClients);
    // A client that ended on its own during the cycles is not waited for: the program is to list
    // the ones left.
    if (!latency.waitForClients(latencyClients, true) || latency.clientCount() == 0 ||
        !listed(latency.clientCount())) {
        std::fprintf(stderr, "the program did not follow the closed windows\n");
        return 1;
    }
    latency.keepActivatable();
    std::printf(
        "%d client windows (xterm, xlogo, xclock) on Xvfb with openbox, %d cycles turning "
        "to the %d that are made active\n",
        latency.clientCount(), cycles, latency.activatableCount());
    const std::optional<Timing> firstSearch = latency.searchCycle();
    const std::optional<LatencyRun::RofiRun> firstRofi = latency.rofiRun();
    std::printf("first glance %.1f ms, first search %.1f ms, first rofi %.1f ms (not counted)\n",
                firstGlance ? firstGlance->ready : -1.0, firstSearch ? firstSearch->ready : -1.0,
                firstRofi ? firstRofi->mapped : -1.0);

    Samples glance;
    Samples search;
    Samples rofi;
    for (int i = 1; i <= cycles; ++i) {
        glance.add(latency.glanceCycle(i));
    }
    // The first glance comes after a rest, and so does a user's: a machine that lets its caches
    // go cold at rest slows any glance after one, the first or not.
    Samples rested;
    for (int i = 0; i < restedCycles; ++i) {
        QThread::msleep(restMs);
        rested.add(latency.glanceCycle(cycles + 1 + i));
    }
    for (int i = 0; i < cycles; ++i) {
        search.add(latency.searchCycle());
    }
    std::vector<double> rofiTimes;
    std::vector<double> rofiResident;
    for (int i = 0; i < cycles; ++i) {
        const std::optional<LatencyRun::RofiRun> run = latency.rofiRun();
        if (run) {
            rofiTimes.push_back(run->mapped);
            rofiResident.push_back(static_cast<double>(run->residentKiB));
        } else {
            ++rofi.failures;
        }
    }
    std::vector<double> emptyStarts;
    std::vector<double> emptyResident;
    std::vector<double> emptyAnonymous;
    for (int i = 0; i < emptyProgramRuns; ++i) {
        if (const auto reference = desktop.runEmptyQtProgram()) {
            emptyStarts.push_back(reference->startMilliseconds);
            emptyResident.push_back(static_cast<double>(reference->residentKiB));
            emptyAnonymous.push_back(static_cast<double>(reference->anonymousKiB));
        }
    }
    // At rest, after everything: no panel shown and nothing changing on the desktop.
    const BenchDesktop::WakeUps wakeUps = desktop.idleWakeUps(idleSeconds, settleSeconds);
    const LatencyFigures glanceMapped = LatencyFigures::of(glance.mapped, glance.failures);
    const LatencyFigures glanceDrawn = LatencyFigures::of(glance.ready, glance.failures);
    const LatencyFigures restedDrawn = LatencyFigures::of(rested.ready, rested.failures);
    const LatencyFigures searchMapped = LatencyFigures::of(search.mapped, search.failures);
    const LatencyFigures searchFocused = LatencyFigures::of(search.ready, search.failures);
    const LatencyFigures rofiMapped = LatencyFigures::of(rofiTimes, rofi.failures);
    print("glance mapped", glanceMapped);
    print("glance mapped, pictures drawn", glanceDrawn);
    if (glance.refused + rested.refused > 0) {
        std::printf(
            "%d glance cycles left out: the window manager did not make their window "
            "active\n",
            glance.refused + rested.refused);
    }
    print("search panel mapped", searchMapped);
    print("search panel mapped and focused", searchFocused);
    print("rofi -show window mapped", rofiMapped);
    print("empty Qt program to idle loop", LatencyFigures::of(emptyStarts));
    print("glance drawn after 2 s at rest", restedDrawn);
    std::printf("%-34s %.1f ms\n", "start-up to idle loop", startUp);
    std::printf("%-34s %.1f ms\n", "first glance after launch",
                firstGlance ? firstGlance->ready : -1.0);
    std::printf("resident memory idle / after %d glance cycles / peak: %lld / %lld / %lld KiB\n",
                memoryCycles, static_cast<long long>(idle), static_cast<long long>(after),
                static_cast<long long>(peak));
    std::printf("resident memory (median), empty Qt program %.0f KiB, rofi shown %.0f KiB\n",
                LatencyFigures::of(emptyResident).median, LatencyFigures::of(rofiResident).median);
    std::printf("anonymous resident memory idle: %lld KiB, empty Qt program %.0f KiB (median)\n",
                static_cast<long long>(idleAnonymous), LatencyFigures::of(emptyAnonymous).median);
    std::printf(
        "ratios to rofi (median / p95): glance %.2f / %.2f, search %.2f / %.2f\n",
        ratio(glanceDrawn.median, rofiMapped.median), ratio(glanceDrawn.p95, rofiMapped.p95),
        ratio(searchFocused.median, rofiMapped.median), ratio(searchFocused.p95, rofiMapped.p95));
    std::printf("glance p95 %s 50 ms\n", glanceDrawn.p95 <= 50 ? "within" : "beyond");
    std::printf("wake-ups over %d s idle, no panel shown: %lld, empty Qt program %lld\n",
                idleSeconds, static_cast<long long>(wakeUps.program),
                static_cast<long long>(wakeUps.emptyQt));
    if (!wakeUps.programThreads.isEmpty()) {
        std::printf("  the program's threads that woke: %s\n", qPrintable(wakeUps.programThreads));
    }

    const double emptyStart = LatencyFigures::of(emptyStarts).median;
    const double emptyAnon = LatencyFigures::of(emptyAnonymous).median;
    const double firstReady = firstGlance ? firstGlance->ready : -1.0;
    std::printf("summary (ratio: this program / the peer of this run)\n");
    std::printf("  %-38s %-24s %-34s %6s\n", "figure", "this program", "peer", "ratio");
    printRow("Tab -> glance mapped, median", ms(glanceMapped.median),
             QStringLiteral("rofi mapped, median ") + ms(rofiMapped.median),
             ratio(glanceMapped.median, rofiMapped.median));
    printRow("Tab -> glance mapped, p95", ms(glanceMapped.p95),
             QStringLiteral("rofi mapped, median ") + ms(rofiMapped.median),
             ratio(glanceMapped.p95, rofiMapped.median));
    printRow("Tab -> every picture drawn, median", ms(glanceDrawn.median),
             QStringLiteral("glance mapped, median ") + ms(glanceMapped.median),
             ratio(glanceDrawn.median, glanceMapped.median));
    printRow("Tab -> every picture drawn, p95", ms(glanceDrawn.p95),
             QStringLiteral("glance mapped, p95 ") + ms(glanceMapped.p95),
             ratio(glanceDrawn.p95, glanceMapped.p95));
    printRow("first glance after launch", ms(firstReady),
             QStringLiteral("later glances drawn, median ") + ms(glanceDrawn.median),
             ratio(firstReady, glanceDrawn.median));
    printRow("first glance after launch", ms(firstReady),
             QStringLiteral("glances after 2 s at rest, median ") + ms(restedDrawn.median),
             ratio(firstReady, restedDrawn.median));
    printRow("start-up to idle", ms(startUp), QStringLiteral("empty Qt program ") + ms(emptyStart),
             ratio(startUp, emptyStart));
    printRow("anonymous memory at idle", mib(static_cast<double>(idleAnonymous)),
             QStringLiteral("empty Qt program ") + mib(emptyAnon),
             ratio(static_cast<double>(idleAnonymous), emptyAnon));
    printRow("resident memory at idle", mib(static_cast<double>(idle)),
             QStringLiteral("empty Qt program ") + mib(LatencyFigures::of(emptyResident).median),
             ratio(static_cast<double>(idle), LatencyFigures::of(emptyResident).median));
    printRow("wake-ups over 60 s idle", QString::number(wakeUps.program),
             QStringLiteral("empty Qt program ") + QString::number(wakeUps.emptyQt),
             ratio(static_cast<double>(wakeUps.program), static_cast<double>(wakeUps.emptyQt)));
    std::printf("picture cache bound: %d pictures, %d of them decoded\n",
                PreviewCache::defaultCapacity, PreviewCache::defaultHotCapacity);
    return 0;
}

}  // namespace
}  // namespace pellucine

int main(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    // Figures show as they come, also when written to a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QStringList arguments = QCoreApplication::arguments();
    const int cycles = arguments.value(1, QStringLiteral("50")).toInt();
    const int memoryCycles = arguments.value(2, QStringLiteral("200")).toInt();
    if (cycles < 1 || memoryCycles < 0) {
        std::fprintf(stderr, "usage: latency_bench [CYCLES [MEMORY_CYCLES]]\n");
        return 2;
    }
    return pellucine::run(cycles, memoryCycles);
}
