#include <QApplication>
#include <QPointer>
#include <QTest>

#include "PermissionFixture.h"
#include "app/OnboardingStore.h"
#include "design/YardButton.h"
#include "preferences/InMemoryKeyValueStore.h"
#include "settings/WelcomeWindow.h"

namespace pellucine {
namespace {

using Step = OnboardingView::Step;

class WelcomeWindowTest : public testing::PermissionFixture {
  protected:
    // Built as the shell builds it: finishing records completion and lets the window go.
    void build(Step step) {
        window = new WelcomeWindow(*service, scheduler, step, {QStringLiteral("Space")},
                                   {.openSettings = {}, .onDone = [this] {
                                        store.setCompletedOnboarding(true);
                                        window->deleteLater();
                                    }});
        window->present(step);
        QApplication::setActiveWindow(window);
    }
    void TearDown() override { delete window.data(); }

    InMemoryKeyValueStore defaults;
    OnboardingStore store{defaults};
    QPointer<WelcomeWindow> window;
};

TEST_F(WelcomeWindowTest, PresentsAtItsSizeAfterReadingThePermissionsAgain) {
    startService(SimulatedPermission::granted, SimulatedPermission::granted);
    permissions().setAccessibility(SimulatedPermission::denied);
    build(Step::permissions);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Welcome to PELLUCINE"));
    EXPECT_EQ(window->size(), QSize(720, 650));
    EXPECT_EQ(window->minimumSize(), QSize(720, 650));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->view()->step(), Step::permissions);
    const auto status = events.last(QStringLiteral("permission-status"));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->fields.value(QStringLiteral("source")), WelcomeWindow::openedSource);

    window->resize(900, 800);
    window->present(Step::permissions);
    EXPECT_EQ(window->size(), QSize(720, 650));
}

TEST_F(WelcomeWindowTest, AClosedWindowComesBackAtTheStepLastAskedFor) {
    startService(SimulatedPermission::granted, SimulatedPermission::granted);
    build(Step::introduction);
    QTest::keyClick(window, Qt::Key_Return);
    QTest::keyClick(window, Qt::Key_Return);
    ASSERT_EQ(window->view()->step(), Step::dock);
    QTest::keyClick(window, Qt::Key_Escape);
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->isVisible());

    // Shown again without a request keeps the step it had; the opening step is not re-applied.
    window->show();
    EXPECT_EQ(window->view()->step(), Step::dock);
    window->close();
    // A request while closed wins over the opening step.
    window->present(Step::permissions);
    EXPECT_EQ(window->view()->step(), Step::permissions);
    window->present(Step::introduction);
    EXPECT_EQ(window->view()->step(), Step::introduction);
}

TEST_F(WelcomeWindowTest, OnlyTheLastStepFinishesAndNothingPollsOnceClosed) {
    startService(SimulatedPermission::denied, SimulatedPermission::denied);
    build(Step::dock);
    EXPECT_TRUE(window->view()->isPolling());
    window->close();
    EXPECT_FALSE(store.hasCompletedOnboarding()) << "closing is not finishing";
    EXPECT_EQ(scheduler.pendingCount(), 0u);

    window->present(Step::dock);
    QTest::mouseClick(window->view()->forwardButton(), Qt::LeftButton);
    EXPECT_TRUE(store.hasCompletedOnboarding());
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window) << "released by the finishing action";
}

}  // namespace
}  // namespace pellucine
