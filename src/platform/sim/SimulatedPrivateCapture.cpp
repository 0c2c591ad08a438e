#include "platform/sim/SimulatedPrivateCapture.h"

#include <algorithm>
#include <cmath>

#include "base/ManualScheduler.h"
#include "platform/sim/SimulatedDesktop.h"
#include "platform/sim/SimulatedScreenCapture.h"

namespace pellucine {

class SimulatedPrivateCapture::EntryPoints final : public PrivateCaptureEntryPoints {
  public:
    EntryPoints(SimulatedPrivateCapture& owner, std::weak_ptr<const bool> alive)
        : owner_(&owner), alive_(std::move(alive)) {}

    quint32 mainConnectionID() override { return alive_.expired() ? 0 : owner_->connection_; }
    std::optional<QList<PrivateCaptureImage>> captureWindowList(quint32 connection,
                                                                quint32 windowNumber,
                                                                quint32 options) override {
        if (alive_.expired()) {
            return std::nullopt;
        }
        return owner_->capture(connection, windowNumber, options);
    }

  private:
    SimulatedPrivateCapture* owner_;
    std::weak_ptr<const bool> alive_;
};

SimulatedPrivateCapture::SimulatedPrivateCapture(const SimulatedDesktop& desktop,
                                                 Scheduler& scheduler)
    : desktop_(desktop), scheduler_(scheduler) {}

SimulatedPrivateCapture::~SimulatedPrivateCapture() = default;

std::unique_ptr<PrivateCaptureEntryPoints> SimulatedPrivateCapture::load() {
    if (!present_) {
        return nullptr;
    }
    return std::make_unique<EntryPoints>(*this, alive_);
}

void SimulatedPrivateCapture::setResult(quint32 windowNumber,
                                        std::optional<QList<PrivateCaptureImage>> result) {
    results_.insert(windowNumber, std::move(result));
}

void SimulatedPrivateCapture::setDuration(quint32 windowNumber, Duration duration) {
    durations_.insert(windowNumber, duration);
}

PrivateCaptureImage SimulatedPrivateCapture::solidImage(int width, int height, QRgb colour) {
    PrivateCaptureImage image;
    image.width = std::max(width, 0);
    image.height = std::max(height, 0);
    image.bitsPerPixel = 32;
    image.bytesPerRow = static_cast<qsizetype>(image.width) * 4;
    const char pixel[4] = {static_cast<char>(qBlue(colour)), static_cast<char>(qGreen(colour)),
                           static_cast<char>(qRed(colour)), static_cast<char>(qAlpha(colour))};
    QByteArray bytes(image.bytesPerRow * image.height, Qt::Uninitialized);
    for (qsizetype i = 0; i + 4 <= bytes.size(); i += 4) {
        std::copy(pixel, pixel + 4, bytes.data() + i);
    }
    image.bytes = std::move(bytes);
    return image;
}

std::optional<QList<PrivateCaptureImage>> SimulatedPrivateCapture::capture(quint32 connection,
                                                                           quint32 windowNumber,
                                                                           quint32 options) {
    calls_.append(QStringLiteral("connection %1: window %2, options 0x%3")
                      .arg(connection)
                      .arg(windowNumber)
                      .arg(options, 0, 16));
    if (const Duration d = durations_.value(windowNumber, Duration::zero()); d > Duration::zero()) {
        if (auto* manual = dynamic_cast<ManualScheduler*>(&scheduler_)) {
            manual->clocks().advance(d);
        }
    }
    if (const auto set = results_.constFind(windowNumber); set != results_.constEnd()) {
        return *set;
    }
    const SimulatedWindow* w = desktop_.window(windowNumber);
    if (w == nullptr) {
        return std::nullopt;
    }
    const auto side = [](double v) { return static_cast<int>(std::abs(v)); };
    return QList<PrivateCaptureImage>{
        solidImage(side(w->frame.width), side(w->frame.height),
                   SimulatedScreenCapture::colourOf(w->number).rgba())};
}

}  // namespace pellucine
