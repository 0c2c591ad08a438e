#pragma once

#include <QHash>
#include <QImage>
#include <memory>

#include "base/ManualExecutor.h"
#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "coordination/AppModel.h"
#include "core/AccessibilityWindowService.h"
#include "core/ScreenCapturePreviewService.h"
#include "panels/FontTextMeasurer.h"
#include "panels/GlanceEnvironment.h"
#include "platform/sim/SimulatedDesktop.h"

namespace pellucine::gallery {

// A made-up window picture: a window of `size` pixels with a title bar, a sidebar and content
// in `accent`'s colours.
QImage samplePicture(QSize size, QColor accent, int variant);
// A made-up application icon: a rounded square in `colour` with the name's first letter.
QImage sampleIcon(const QString& name, QColor colour);

// The simulated desktop and a model over it, with preferences in memory and no sync, and the
// glance environment over both. The sheets set the model's selection and pictures directly.
class SampleDesk {
  public:
    SampleDesk();
    ~SampleDesk();

    AppModel& model() { return *model_; }
    const GlanceEnvironment& environment() const { return *environment_; }
    SimulatedDesktop& desktop() { return desktop_; }
    ManualScheduler& scheduler() { return scheduler_; }
    RecordingEventLog& events() { return events_; }
    void setIcon(qint32 pid, QImage icon) { icons_.icons.insert(pid, std::move(icon)); }

  private:
    struct Icons final : ApplicationIconProviding {
        QImage icon(qint32 pid) const override { return icons.value(pid); }
        QHash<qint32, QImage> icons;
    };
    struct MemoryStore;
    struct NoSync;

    ManualScheduler scheduler_;
    SimulatedDesktop desktop_{scheduler_};
    RecordingEventLog events_;
    ManualExecutor executor_{scheduler_};
    AccessibilityWindowService windows_{desktop_, events_};
    ScreenCapturePreviewService previews_{desktop_.screenCapture(), scheduler_};
    std::unique_ptr<MemoryStore> store_;
    std::unique_ptr<NoSync> sync_;
    std::unique_ptr<AppModel> model_;
    Icons icons_;
    FontTextMeasurer measurer_;
    std::unique_ptr<GlanceEnvironment> environment_;
};

}  // namespace pellucine::gallery
