#include <gmock/gmock.h>

#include "X11TestDesktop.h"
#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "base/ThreadPoolExecutor.h"
#include "coordination/AppModel.h"
#include "coordination/ModelFakes.h"
#include "core/AccessibilityWindowService.h"
#include "core/ScreenCapturePreviewService.h"

namespace pellucine {
namespace {

using testing::await;
using testing::TestXterm;
using testing::X11PortTest;
using testing::X11TestDesktop;

// The model on the X11 port, with the program's own scheduler and thread pool.
class X11PreviewPipelineTest : public X11PortTest {
  protected:
    void SetUp() override {
        X11PortTest::SetUp();
        if (!port) {
            return;
        }
        store.portable.previewWidth = 260;
        windows = std::make_unique<AccessibilityWindowService>(*port, events);
        previews = std::make_unique<ScreenCapturePreviewService>(port->screenCapture(), scheduler);
        model = std::make_unique<AppModel>(
            AppModel::Platform{*port, scheduler, events, systemWallClock(), executor, {}}, *windows,
            *previews, store, sync);
    }

    QList<WindowDescriptor> listedWindows() {
        std::exception_ptr failure;
        EXPECT_TRUE(await(model->refreshWindows(), failure));
        QList<WindowDescriptor> all;
        for (const ApplicationDescriptor& application : model->applications().value()) {
            all += application.windows;
        }
        return all;
    }

    QtScheduler scheduler{systemContinuousClock()};
    ThreadPoolExecutor executor;
    RecordingEventLog events;
    testing::MemoryPreferenceStore store;
    testing::ScriptedPreferenceSync sync{scheduler};
    std::unique_ptr<AccessibilityWindowService> windows;
    std::unique_ptr<ScreenCapturePreviewService> previews;
    std::unique_ptr<AppModel> model;
};

TEST_F(X11PreviewPipelineTest, EveryOnScreenWindowGetsAPictureAndAMinimizedOneNone) {
    TestXterm minimized(*desktop, QStringLiteral("preview-pipeline-minimized"));
    ASSERT_TRUE(minimized.window());
    port->state().requests().iconify(*minimized.window());
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return desktop->wmState(*minimized.window()) == 3; }));

    const QList<WindowDescriptor> all = listedWindows();
    const auto find = [&](xcb_window_t window) {
        return std::find_if(all.begin(), all.end(),
                            [window](const WindowDescriptor& w) { return w.id == window; });
    };
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    const auto beta = desktop->findClient(QStringLiteral("pellucine-beta"));
    ASSERT_TRUE(alpha && beta);
    ASSERT_NE(find(*alpha), all.end());
    ASSERT_NE(find(*minimized.window()), all.end());
    EXPECT_FALSE(find(*minimized.window())->isOnScreen);

    std::exception_ptr failure;
    EXPECT_TRUE(await(model->loadPreviews({}, all), failure));
    const PreviewImages& images = model->previewImages().value();
    for (const WindowDescriptor& window : all) {
        EXPECT_EQ(images.contains(window.id), window.isOnScreen) << window.title.toStdString();
    }
    EXPECT_EQ(images.value(*alpha).width(), 520);
    EXPECT_EQ(images.value(*beta).width(), 520);
    const auto loaded = events.last(QStringLiteral("previews-loaded"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->fields.value("loadedCount").toInt(), images.size());
    EXPECT_GE(loaded->fields.value("offscreenCount").toInt(), 1);
    EXPECT_EQ(events.count(QStringLiteral("preview-capture-failed")), 0);
}

}  // namespace
}  // namespace pellucine
