#pragma once

#include <QHash>
#include <QRgb>
#include <QStringList>
#include <memory>

#include "base/Scheduler.h"
#include "platform/PrivateCaptureLoading.h"

namespace pellucine {

class SimulatedDesktop;

// Private capture entry points of the simulated desktop, present by default. A capture of a
// window gives one picture of its frame's size in its colour, or what the test set; a call
// that takes time moves the clocks of a manual scheduler by that time, as a blocking call
// would.
class SimulatedPrivateCapture final : public PrivateCaptureLoading {
  public:
    SimulatedPrivateCapture(const SimulatedDesktop& desktop, Scheduler& scheduler);
    ~SimulatedPrivateCapture() override;
    SimulatedPrivateCapture(const SimulatedPrivateCapture&) = delete;
    SimulatedPrivateCapture& operator=(const SimulatedPrivateCapture&) = delete;

    std::unique_ptr<PrivateCaptureEntryPoints> load() override;

    // Driver.
    void setPresent(bool present) { present_ = present; }
    void setConnectionID(quint32 connection) { connection_ = connection; }
    // What a capture of the window gives: pictures (possibly none), or nothing at all.
    void setResult(quint32 windowNumber, std::optional<QList<PrivateCaptureImage>> result);
    void setDuration(quint32 windowNumber, Duration duration);

    // Inspection: "connection 7: window 12, options 0x900", in order.
    const QStringList& calls() const { return calls_; }

    // A 32-bit picture in one colour, its rows packed.
    static PrivateCaptureImage solidImage(int width, int height, QRgb colour);

  private:
    class EntryPoints;
    std::optional<QList<PrivateCaptureImage>> capture(quint32 connection, quint32 windowNumber,
                                                      quint32 options);

    const SimulatedDesktop& desktop_;
    Scheduler& scheduler_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
    bool present_ = true;
    quint32 connection_ = 7;
    QHash<quint32, std::optional<QList<PrivateCaptureImage>>> results_;
    QHash<quint32, Duration> durations_;
    QStringList calls_;
};

}  // namespace pellucine
