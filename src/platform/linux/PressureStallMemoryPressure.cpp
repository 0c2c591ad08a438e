#include "platform/linux/PressureStallMemoryPressure.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <string_view>

namespace pellucine {

namespace {

// "some 200000 2000000": the stall and the window in microseconds.
QByteArray triggerText(const char* kind) {
    using std::chrono::microseconds;
    const auto window =
        std::chrono::duration_cast<microseconds>(PressureStallMemoryPressure::triggerWindow);
    const auto stall = static_cast<qint64>(static_cast<double>(window.count()) *
                                           PressureStallMemoryPressure::stallShare);
    return QByteArray(kind) + ' ' + QByteArray::number(stall) + ' ' +
           QByteArray::number(static_cast<qint64>(window.count()));
}

bool isDue(const std::optional<ContinuousInstant>& last, ContinuousInstant now) {
    return !last || now - *last >= PressureStallMemoryPressure::repeatInterval;
}

}  // namespace

PressureStallMemoryPressure::PressureStallMemoryPressure(Scheduler& scheduler, Options options)
    : scheduler_(scheduler), options_(std::move(options)) {
    if (!read()) {
        unavailable_ = QStringLiteral("no-pressure-stall-information");
        mode_ = Mode::unavailable;
    }
}

PressureStallMemoryPressure::~PressureStallMemoryPressure() {
    closeTriggers();
}

Subscription PressureStallMemoryPressure::subscribe(Handler handler) {
    Subscription subscription = handlers_.add(
        [handler = std::move(handler)](const MemoryPressureEvents& events) { handler(events); });
    if (mode_ == Mode::idle) {
        start();
    }
    return subscription;
}

void PressureStallMemoryPressure::start() {
    if (options_.useTriggers && armTriggers()) {
        mode_ = Mode::triggers;
        return;
    }
    mode_ = Mode::polling;
    lastReading_ = read();
    lastReadAt_ = scheduler_.clock().now();
    schedulePoll();
}

bool PressureStallMemoryPressure::armTriggers() {
    const QByteArray path = QFile::encodeName(options_.path);
    for (const char* kind : {"some", "full"}) {
        const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            closeTriggers();
            return false;
        }
        const QByteArray text = triggerText(kind);
        // The kernel takes the whole trigger in one write, terminating NUL included.
        if (::write(fd, text.constData(), static_cast<size_t>(text.size()) + 1) < 0) {
            ::close(fd);
            closeTriggers();
            return false;
        }
        auto notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Exception);
        const MemoryPressureEvents events{true, std::string_view(kind) == "full"};
        connect(notifier.get(), &QSocketNotifier::activated, this,
                [this, events] { report(events); });
        triggers_.push_back({fd, std::move(notifier)});
    }
    return true;
}

void PressureStallMemoryPressure::closeTriggers() {
    for (Trigger& trigger : triggers_) {
        trigger.notifier.reset();
        ::close(trigger.fd);
    }
    triggers_.clear();
}

void PressureStallMemoryPressure::schedulePoll() {
    nextPoll_ = ScopedWork(scheduler_, scheduler_.postAfter(pollInterval, [this] { poll(); }));
}

void PressureStallMemoryPressure::poll() {
    const ContinuousInstant now = scheduler_.clock().now();
    const std::optional<PressureStallTotals> reading = read();
    if (reading && lastReading_) {
        report(pressureBetween(*lastReading_, *reading, now - lastReadAt_, stallShare));
    }
    lastReading_ = reading;
    lastReadAt_ = now;
    schedulePoll();
}

std::optional<PressureStallTotals> PressureStallMemoryPressure::read() const {
    QFile file(options_.path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return parsePressureStall(file.readAll());
}

void PressureStallMemoryPressure::report(MemoryPressureEvents events) {
    const ContinuousInstant now = scheduler_.clock().now();
    MemoryPressureEvents due;
    if (events.critical && isDue(lastCriticalAt_, now)) {
        due = {events.warning, true};
        lastCriticalAt_ = now;
        lastWarningAt_ = now;
    } else if (events.warning && isDue(lastWarningAt_, now) && isDue(lastCriticalAt_, now)) {
        due = {true, false};
        lastWarningAt_ = now;
    }
    if (due.warning || due.critical) {
        handlers_.send(due);
    }
}

}  // namespace pellucine
