#pragma once

#include <QRegularExpression>

#include "ModelFixture.h"

namespace pellucine::testing {

// The model with one application (pid 10) on the simulated desktop, small pictures (the
// preview width is 20 points) and helpers for windows, cache entries and the captures asked for.
class PreviewTest : public ModelFixture {
  protected:
    static constexpr qint32 pid = 10;
    static inline const QString passwordManager = QStringLiteral("com.1password.mac");

    void SetUp() override {
        addApp(pid);
        store.portable.previewWidth = 20;
        makeModel();
    }

    // A new window of the application, on screen or minimized, with the given owner identifier.
    WindowDescriptor window(bool onScreen = true,
                            std::optional<QString> bundle = QStringLiteral("com.example.app10")) {
        const quint32 id = addWindow(pid, {0, 0, 400, 300});
        if (!onScreen) {
            desktop.setWindowMinimized(id, true);
        }
        WindowDescriptor w;
        w.id = id;
        w.ownerPID = pid;
        w.ownerBundleIdentifier = std::move(bundle);
        w.isOnScreen = onScreen;
        w.isMinimized = !onScreen;
        return w;
    }

    QList<WindowDescriptor> windows(int count) {
        QList<WindowDescriptor> list;
        for (int i = 0; i < count; ++i) {
            list.append(window());
        }
        return list;
    }

    // A cache entry taken `ageSeconds` ago.
    void cacheAged(const WindowDescriptor& w, double ageSeconds) {
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::blue);
        model->previewCache().store(
            image, w.id, ContinuousInstant{scheduler.now().sinceBoot - seconds(ageSeconds)});
    }

    // A cache entry holding only its JPEG copy.
    void cacheCopyOnly(const WindowDescriptor& w, double ageSeconds = 0) {
        cacheAged(w, ageSeconds);
        executor.runAll();
        scheduler.runUntilIdle();
        model->previewCache().dropHotImages();
    }

    void setDelay(const WindowDescriptor& w, double secondsToTake) {
        desktop.simulatedCapture().setCaptureDelay(w.id, seconds(secondsToTake));
    }

    // The windows pictured so far, in the order they were asked for.
    QList<quint32> captured() {
        static const QRegularExpression number(QStringLiteral("^window (\\d+):"));
        QList<quint32> out;
        for (const QString& request : desktop.simulatedCapture().captureRequests()) {
            out.append(number.match(request).captured(1).toUInt());
        }
        return out;
    }

    bool isPublished(const WindowDescriptor& w) const {
        return model->previewImages().value().contains(w.id);
    }

    EventFields last(const QString& event) const {
        const auto found = events.last(event);
        return found ? found->fields : EventFields{};
    }

    QCoro::Task<void> load(QList<WindowDescriptor> list, CancellationToken token = {}) {
        return model->loadPreviews(std::move(token), std::move(list));
    }
};

}  // namespace pellucine::testing
