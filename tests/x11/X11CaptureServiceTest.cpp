#include <gmock/gmock.h>

#include <QSet>

#include "X11TestDesktop.h"
#include "base/QtScheduler.h"
#include "core/ScreenCapturePreviewService.h"
#include "core/WindowServiceError.h"

namespace pellucine {
namespace {

using testing::await;
using testing::TestXterm;
using testing::X11PortTest;
using testing::X11TestDesktop;

bool hasSeveralColours(const QImage& image) {
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first) {
                return true;
            }
        }
    }
    return false;
}

// The program's picture service on the X11 port.
class X11CaptureServiceTest : public X11PortTest {
  protected:
    void SetUp() override {
        X11PortTest::SetUp();
        if (!port) {
            return;
        }
        service = std::make_unique<ScreenCapturePreviewService>(port->screenCapture(), scheduler);
    }

    WindowDescriptor descriptorOf(xcb_window_t window) {
        WindowDescriptor d;
        d.id = window;
        return d;
    }

    QtScheduler scheduler{systemContinuousClock()};
    std::unique_ptr<ScreenCapturePreviewService> service;
};

TEST_F(X11CaptureServiceTest, PicturesAnXtermAtTwiceThePreviewWidthAtMostItsOwn) {
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    const QRect frame = desktop->frameOf(*alpha);
    std::exception_ptr failure;
    const auto image = await(service->capture(descriptorOf(*alpha), 260), failure);
    ASSERT_FALSE(failure);
    ASSERT_TRUE(image);
    const QSize expected = ScreenCapturePreviewService::pixelSize(
        Size{double(frame.width()), double(frame.height())}, 260);
    EXPECT_EQ(image->size(), expected);
    EXPECT_EQ(image->width(), std::min(520, frame.width()));
    EXPECT_TRUE(hasSeveralColours(*image));
}

TEST_F(X11CaptureServiceTest, ListsEveryClientWithTheWindowListsFrames) {
    std::exception_ptr failure;
    const auto content = await(port->screenCapture().shareableContent(), failure);
    ASSERT_FALSE(failure);
    ASSERT_TRUE(content);
    const QList<WindowListEntry> list = port->windowList().windows({});
    ASSERT_EQ(content->windows.size(), list.size());
    for (qsizetype i = 0; i < list.size(); ++i) {
        EXPECT_EQ(content->windows[i].windowIdentifier, list[i].number);
        EXPECT_EQ(content->windows[i].frame, list[i].bounds);
        EXPECT_EQ(content->windows[i].isOnScreen, list[i].isOnScreen);
        EXPECT_EQ(content->windows[i].owningProcessIdentifier, list[i].ownerPID);
    }
}

TEST_F(X11CaptureServiceTest, AMinimizedWindowHasNoPicture) {
    TestXterm xterm(*desktop, QStringLiteral("capture-service-minimized"));
    ASSERT_TRUE(xterm.window());
    port->state().requests().iconify(*xterm.window());
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(*xterm.window()) == 3; }));

    std::exception_ptr failure;
    const auto image = await(service->capture(descriptorOf(*xterm.window()), 200), failure);
    EXPECT_FALSE(image);
    ASSERT_TRUE(failure);
    try {
        std::rethrow_exception(failure);
    } catch (const ScreenCaptureError& error) {
        EXPECT_EQ(error.errorCase(), ScreenCaptureError::Case::windowNotViewable);
    } catch (...) {
        ADD_FAILURE() << "another error";
    }
}

TEST_F(X11CaptureServiceTest, AWindowClosedAfterTheListWasTakenIsGone) {
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    std::optional<xcb_window_t> doomed;
    {
        TestXterm xterm(*desktop, QStringLiteral("capture-service-doomed"));
        ASSERT_TRUE(xterm.window());
        doomed = xterm.window();
        // The list of windows is taken now, with the xterm in it, and held.
        std::exception_ptr failure;
        ASSERT_TRUE(await(service->capture(descriptorOf(*alpha), 100), failure));
    }
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !desktop->clients().contains(*doomed); }));

    std::exception_ptr failure;
    EXPECT_FALSE(await(service->capture(descriptorOf(*doomed), 100), failure));
    ASSERT_TRUE(failure);
    EXPECT_THROW(std::rethrow_exception(failure), ScreenCaptureError);

    // Once the list is taken again the window is not in it.
    service->invalidateContent();
    failure = nullptr;
    EXPECT_FALSE(await(service->capture(descriptorOf(*doomed), 100), failure));
    ASSERT_TRUE(failure);
    try {
        std::rethrow_exception(failure);
    } catch (const WindowServiceError& error) {
        EXPECT_EQ(error.localizedDescription(),
                  QStringLiteral("The window is no longer available."));
    } catch (...) {
        ADD_FAILURE() << "another error";
    }
    // Other windows are still pictured.
    failure = nullptr;
    EXPECT_TRUE(await(service->capture(descriptorOf(*alpha), 100), failure));
}

TEST_F(X11CaptureServiceTest, UnscaledPicturesAreCutAtTheirOwnSize) {
    const auto beta = desktop->findClient(QStringLiteral("pellucine-beta"));
    ASSERT_TRUE(beta);
    const QRect frame = desktop->frameOf(*beta);
    std::exception_ptr failure;
    const auto content = await(port->screenCapture().shareableContent(), failure);
    ASSERT_TRUE(content);
    const auto window =
        std::find_if(content->windows.begin(), content->windows.end(),
                     [&](const ShareableWindow& w) { return w.windowIdentifier == *beta; });
    ASSERT_NE(window, content->windows.end());
    // Wider than the window: the rest stays transparent.
    const QSize size(frame.width() + 40, frame.height() / 2);
    const auto image =
        await(port->screenCapture().captureWindowImage(*window, {size, false, false}), failure);
    ASSERT_FALSE(failure);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), size);
    EXPECT_EQ(image->pixelColor(frame.width() + 10, 5).alpha(), 0);
    EXPECT_EQ(image->pixelColor(frame.width() / 2, 5).alpha(), 255);
}

TEST_F(X11CaptureServiceTest, AClientsOwnShadowIsNeitherFrameNorPicture) {
    testing::TestClient client;
    const QMargins margins(10, 6, 20, 14);
    const QRgb shadow = qRgb(0, 0, 0);
    const QRgb colour = qRgb(40, 200, 90);
    const auto window = client.openShadowedWindow(*desktop, QStringLiteral("capture-shadowed"),
                                                  margins, shadow, colour);
    ASSERT_TRUE(window);
    const auto shareable = [&]() -> std::optional<ShareableWindow> {
        std::exception_ptr failure;
        const auto content = await(port->screenCapture().shareableContent(), failure);
        if (!content) {
            return std::nullopt;
        }
        for (const ShareableWindow& w : content->windows) {
            if (w.windowIdentifier == *window) {
                return w;
            }
        }
        return std::nullopt;
    };
    const QRect outer = desktop->frameOf(*window);
    ASSERT_EQ(outer.size(), QSize(120, 90));
    const auto shown = shareable();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->frame, (GlobalRect{outer.x() + 10.0, outer.y() + 6.0, 90, 70}));

    std::exception_ptr failure;
    const auto image = await(
        port->screenCapture().captureWindowImage(*shown, {QSize(90, 70), true, false}), failure);
    ASSERT_FALSE(failure);
    ASSERT_TRUE(image);
    for (int y = 0; y < image->height(); ++y) {
        for (int x = 0; x < image->width(); ++x) {
            ASSERT_EQ(image->pixel(x, y), colour) << x << "," << y;
        }
    }

    // A frame asked for is the frame the user then sees.
    const auto info = port->state().window(*window);
    ASSERT_TRUE(info);
    port->state().requests().moveResize(*info, QRect(400, 320, 150, 100));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        const auto moved = shareable();
        return moved && moved->frame == GlobalRect{400, 320, 150, 100};
    }));
}

TEST(X11CaptureFailureTest, NamesEachMissingPictureAsThePortDoes) {
    using Status = X11CaptureResult::Status;
    EXPECT_EQ(X11ScreenCapture::failureOf(Status::captured), std::nullopt);
    EXPECT_EQ(X11ScreenCapture::failureOf(Status::windowGone),
              ScreenCaptureError::Case::windowGone);
    EXPECT_EQ(X11ScreenCapture::failureOf(Status::notViewable),
              ScreenCaptureError::Case::windowNotViewable);
    EXPECT_EQ(X11ScreenCapture::failureOf(Status::failed), ScreenCaptureError::Case::failed);
    EXPECT_EQ(X11ScreenCapture::failureOf(Status::tooLarge), ScreenCaptureError::Case::failed);
}

}  // namespace
}  // namespace pellucine
