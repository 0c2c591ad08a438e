#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QWindow>

#include "app/OnboardingStore.h"
#include "app/PresentableWindow.h"
#include "app/ProgramWindowPresenter.h"
#include "coordination/ModelFixture.h"
#include "design/Appearance.h"
#include "preferences/InMemoryKeyValueStore.h"
#include "settings/WelcomeWindow.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using Step = OnboardingView::Step;

// Writes each call; leaving full screen finishes only when the test says so.
class FakeWindow final : public PresentableWindow {
  public:
    bool isFullScreen() const override { return fullScreen; }
    void exitFullScreen(std::function<void()> done) override {
        calls << "exit full screen";
        fullScreen = false;
        leftFullScreen = std::move(done);
    }
    bool isZoomed() const override { return zoomed; }
    void unzoom() override {
        calls << "unzoom";
        zoomed = false;
    }
    void setContentSize(QSize size) override {
        calls << QStringLiteral("size %1x%2").arg(size.width()).arg(size.height());
    }
    void centre() override { calls << "centre"; }
    void orderFront() override { calls << "front"; }
    void activate() override { calls << "activate"; }

    bool fullScreen = false;
    bool zoomed = false;
    std::function<void()> leftFullScreen;
    QStringList calls;
};

TEST(PresentWindowTest, EveryPresentationResetsSizeAndPlaceThenBringsTheWindowForward) {
    FakeWindow window;
    window.zoomed = true;
    presentWindow(window, {900, 680});
    EXPECT_EQ(window.calls, (QStringList{"unzoom", "size 900x680", "centre", "front", "activate"}));

    // Out of full screen: the same at once, and size and place again once the window manager
    // is done.
    window.calls.clear();
    window.fullScreen = true;
    presentWindow(window, {720, 650});
    EXPECT_EQ(window.calls,
              (QStringList{"exit full screen", "size 720x650", "centre", "front", "activate"}));
    window.calls.clear();
    ASSERT_TRUE(window.leftFullScreen);
    window.leftFullScreen();
    EXPECT_EQ(window.calls, (QStringList{"size 720x650", "centre"}));
}

// The presenter over the model on the simulated desktop, offscreen.
class ProgramWindowsTest : public testing::ModelFixture {
  protected:
    ProgramWindowsTest() {
        makeModel();
        events.clear();
        windows = std::make_unique<ProgramWindowPresenter>(services());
    }

    ProgramWindowPresenter::Services services() {
        return {*model,
                scheduler,
                events,
                onboarding,
                appearance,
                [] {
                    return QList<Command>{{CommandGroup::applicationTermination, "Quit PELLUCINE",
                                           QKeySequence(QStringLiteral("Ctrl+Q")), [] {}}};
                },
                [] {
                    return window("PELLUCINE Settings", {900, 680});
                },
                [this] {
                    ++diagnosticsMade;
                    return window("PELLUCINE Diagnostics", {680, 460});
                },
                [this](const std::optional<ReportProblem::Phase>& phase) {
                    reports << (phase ? int(phase->kind()) : -1);
                }};
    }
    static std::unique_ptr<QWidget> window(const QString& title, QSize minimum) {
        auto window = std::make_unique<QWidget>(nullptr, Qt::Window);
        window->setWindowTitle(title);
        window->setMinimumSize(minimum);
        return window;
    }
    // `size` as far as it fits the work area with the window's frame.
    static QSize fitted(QSize size, const QWidget& window) {
        const QMargins frame = window.windowHandle()->frameMargins();
        return size.boundedTo(
            QGuiApplication::primaryScreen()->availableGeometry().size().shrunkBy(frame));
    }
    static QPoint centredTopLeft(const QWidget& window) {
        QRect frame(QPoint(), window.frameGeometry().size());
        frame.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
        return frame.topLeft();
    }

    InMemoryKeyValueStore defaults;
    OnboardingStore onboarding{defaults};
    Appearance appearance;
    int diagnosticsMade = 0;
    QList<int> reports;
    std::unique_ptr<ProgramWindowPresenter> windows;
};

TEST_F(ProgramWindowsTest, TheSettingsWindowIsKeptAndComesBackAtItsSizeInTheMiddle) {
    EXPECT_FALSE(windows->hasVisibleWindow());
    windows->showSettings();
    QWidget* settings = windows->settingsWindow();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->size(), fitted({900, 680}, *settings));
    EXPECT_TRUE(settings->isVisible());
    EXPECT_TRUE(windows->hasVisibleWindow());
    // The program's commands work in it.
    const QList<QAction*> actions = settings->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions.first()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));

    settings->close();
    settings->resize(1200, 900);
    settings->move(5, 5);
    EXPECT_FALSE(windows->hasVisibleWindow());
    windows->showSettings();
    EXPECT_EQ(windows->settingsWindow(), settings);
    EXPECT_EQ(settings->size(), fitted({900, 680}, *settings));
    EXPECT_EQ(settings->pos(), centredTopLeft(*settings));
    EXPECT_EQ(events.count("settings-opened"), 2);
}

TEST_F(ProgramWindowsTest, AnOpenWelcomeWindowMovesToTheStepAskedForAndIsBuiltAgainAfterItsFlow) {
    windows->showOnboarding(Step::introduction);
    WelcomeWindow* welcome = windows->welcomeWindow();
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(welcome->view()->step(), Step::introduction);
    EXPECT_EQ(welcome->size(), QSize(720, 650));
    windows->showOnboarding(Step::permissions);
    EXPECT_EQ(windows->welcomeWindow(), welcome);
    EXPECT_EQ(welcome->view()->step(), Step::permissions);
    EXPECT_EQ(events.count("onboarding-shown"), 1);

    // Finishing the last step completes the flow and lets the window go.
    QPointer<WelcomeWindow> finished = welcome;
    welcome->view()->jumpTo(Step::dock);
    welcome->view()->goForward();
    EXPECT_TRUE(onboarding.hasCompletedOnboarding());
    EXPECT_EQ(events.count("onboarding-completed"), 1);
    EXPECT_EQ(windows->welcomeWindow(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(finished.isNull());

    windows->showOnboarding(Step::introduction);
    ASSERT_NE(windows->welcomeWindow(), nullptr);
    EXPECT_EQ(windows->welcomeWindow()->view()->step(), Step::introduction);
    EXPECT_EQ(events.count("onboarding-shown"), 2);
}

TEST_F(ProgramWindowsTest, TheDiagnosticsWindowIsMadeOnceAndOpensLargerThanItsMinimum) {
    windows->showDiagnosticsWindow();
    windows->diagnosticsWindow()->close();
    windows->showDiagnosticsWindow();
    EXPECT_EQ(diagnosticsMade, 1);
    EXPECT_EQ(windows->diagnosticsWindow()->size(), QSize(760, 560));
    EXPECT_EQ(windows->diagnosticsWindow()->minimumSize(), QSize(680, 460));
    EXPECT_EQ(events.count("settings-opened"), 0);

    windows->showReportWindow(std::nullopt);
    windows->showReportWindow(ReportProblem::Phase::writing());
    EXPECT_EQ(reports, (QList<int>{-1, int(ReportProblem::Phase::writing().kind())}));
}

}  // namespace
}  // namespace pellucine
