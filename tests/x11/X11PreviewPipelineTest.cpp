#include <gmock/gmock.h>

#include "X11ModelTest.h"

namespace pellucine {
namespace {

using testing::await;
using testing::TestXterm;
using testing::X11TestDesktop;

class X11PreviewPipelineTest : public testing::X11ModelTest {
  protected:
    void SetUp() override {
        X11ModelTest::SetUp();
        if (!port) {
            return;
        }
        store.portable.previewWidth = 260;
        makeModel();
    }
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
    // Twice the preview width, never more pixels than the window has.
    EXPECT_EQ(images.value(*alpha).width(), std::min(520, desktop->frameOf(*alpha).width()));
    EXPECT_EQ(images.value(*beta).width(), std::min(520, desktop->frameOf(*beta).width()));
    const auto loaded = events.last(QStringLiteral("previews-loaded"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->fields.value("loadedCount").toInt(), images.size());
    EXPECT_GE(loaded->fields.value("offscreenCount").toInt(), 1);
    EXPECT_EQ(events.count(QStringLiteral("preview-capture-failed")), 0);
}

}  // namespace
}  // namespace pellucine
