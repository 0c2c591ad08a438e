#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "base/Scheduler.h"
#include "platform/MemoryPressure.h"
#include "platform/NoticeList.h"
#include "platform/linux/PressureStall.h"

namespace pellucine {

// Memory pressure from the kernel's pressure-stall information. Where the kernel lets this
// process set triggers on the file, it wakes the program when tasks stall; elsewhere the file
// is read every few seconds. A warning means some task, critical that every non-idle task,
// waited for memory a tenth of the time. Each level is reported again only after a quiet
// spell, so sustained pressure does not flood the program. Nothing runs until the first
// subscriber comes. Main thread only.
class PressureStallMemoryPressure final : public QObject, public MemoryPressure {
    Q_OBJECT

  public:
    static constexpr QLatin1String defaultPath{"/proc/pressure/memory"};
    static constexpr double stallShare = 0.1;
    // Unprivileged triggers need a window that is a multiple of 2 s.
    static constexpr Duration triggerWindow = std::chrono::seconds(2);
    static constexpr Duration pollInterval = std::chrono::seconds(5);
    static constexpr Duration repeatInterval = std::chrono::seconds(10);

    enum class Mode { unavailable, idle, triggers, polling };

    struct Options {
        QString path = defaultPath;
        // False reads the file on a timer even where triggers would work.
        bool useTriggers = true;
    };

    PressureStallMemoryPressure(Scheduler& scheduler, Options options);
    explicit PressureStallMemoryPressure(Scheduler& scheduler)
        : PressureStallMemoryPressure(scheduler, Options{}) {}
    ~PressureStallMemoryPressure() override;

    std::optional<QString> unavailableReason() const override { return unavailable_; }
    Subscription subscribe(Handler handler) override;
    Mode mode() const { return mode_; }

  private:
    struct Trigger {
        int fd = -1;
        std::unique_ptr<QSocketNotifier> notifier;
    };

    void start();
    // Sets a "some" and a "full" trigger; false (and nothing set) when the kernel refuses.
    bool armTriggers();
    void closeTriggers();
    void schedulePoll();
    void poll();
    std::optional<PressureStallTotals> read() const;
    // Sends the levels not reported within repeatInterval.
    void report(MemoryPressureEvents events);

    Scheduler& scheduler_;
    Options options_;
    std::optional<QString> unavailable_;
    Mode mode_ = Mode::idle;
    NoticeList<MemoryPressureEvents> handlers_;
    std::vector<Trigger> triggers_;
    std::optional<PressureStallTotals> lastReading_;
    ContinuousInstant lastReadAt_;
    std::optional<ContinuousInstant> lastWarningAt_;
    std::optional<ContinuousInstant> lastCriticalAt_;
    ScopedWork nextPoll_;
};

}  // namespace pellucine
