#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <algorithm>

#include "PermissionFixture.h"
#include "design/KeyHint.h"
#include "design/PaneLink.h"
#include "design/YardButton.h"
#include "design/YardText.h"
#include "settings/DraggablePermissionTile.h"
#include "settings/FeatureCard.h"
#include "settings/OnboardingView.h"
#include "settings/PermissionRow.h"
#include "settings/StepTab.h"

namespace pellucine {
namespace {

using Step = OnboardingView::Step;
using State = PermissionState;

}  // namespace

void PrintTo(OnboardingView::Step step, std::ostream* out) {
    *out << OnboardingView::stepTitles()[static_cast<int>(step)].toStdString();
}

namespace {

const QStringList defaultSearchKeys{QStringLiteral("Shift"), QStringLiteral("Super"),
                                    QStringLiteral("Space")};

class OnboardingViewTest : public testing::PermissionFixture {
  protected:
    OnboardingView& open(Step step, bool shown = true) {
        view = std::make_unique<OnboardingView>(
            *service, scheduler, step, defaultSearchKeys,
            OnboardingView::Actions{.openSettings = [this] { ++settingsOpened; },
                                    .onDone = [this] { ++finished; }});
        if (shown) {
            view->show();
            QApplication::setActiveWindow(view.get());
        }
        return *view;
    }
    // The step's page and tab, and the bottom bar that goes with it.
    void expectShown(Step step) const {
        EXPECT_EQ(view->step(), step);
        for (int i = 0; i < OnboardingView::stepCount; ++i) {
            const bool current = i == static_cast<int>(step);
            EXPECT_EQ(view->page(static_cast<Step>(i))->isVisibleTo(view.get()), current) << i;
            EXPECT_EQ(view->tab(static_cast<Step>(i))->isCurrent(), current) << i;
        }
        EXPECT_EQ(view->backButton()->isVisibleTo(view.get()), step != Step::introduction);
        EXPECT_EQ(view->forwardButton()->text(), step == Step::dock
                                                     ? QStringLiteral("Start Using PELLUCINE")
                                                     : QStringLiteral("Continue"));
    }
    // Every store of a state is one refresh.
    void countRefreshes() {
        counting = service->accessibility().subscribe([this](State) { ++refreshes; });
    }

    std::unique_ptr<OnboardingView> view;
    int settingsOpened = 0;
    int finished = 0;
    int refreshes = 0;
    Subscription counting;
};

TEST(OnboardingText, TheSearchRowNamesEachKeyAsACap) {
    EXPECT_EQ(OnboardingView::searchRowTemplate(defaultSearchKeys),
              QStringLiteral(
                  "Press {Shift}{Super}{Space}, or {F} while {Super}{Tab} is up, then type part of "
                  "its title."));
    const QString unknown =
        OnboardingView::searchRowTemplate({QStringLiteral("Ctrl"), QStringLiteral("Key 123")});
    EXPECT_TRUE(unknown.startsWith(QStringLiteral("Press {Ctrl}{Key 123}, or {F}")));
    const auto tokens = KeyHint::tokens(unknown);
    ASSERT_GE(tokens.size(), 3);
    EXPECT_EQ(tokens[2].text, QStringLiteral("Key 123")) << "one cap, space and all";
    EXPECT_EQ(OnboardingView::searchRowTemplate({}),
              QStringLiteral("Press {F} while {Super}{Tab} is up, then type part of its title."));
}

TEST_F(OnboardingViewTest, OpensAtTheRequestedStepWithItsTabSelected) {
    startService(SimulatedPermission::granted, SimulatedPermission::granted);
    open(Step::permissions);
    expectShown(Step::permissions);
    QAccessibleInterface* tab = QAccessible::queryAccessibleInterface(view->tab(Step::permissions));
    EXPECT_EQ(tab->text(QAccessible::Name), QStringLiteral("Step 2 of 3, Permissions"));
    EXPECT_EQ(tab->role(), QAccessible::Button);
    EXPECT_TRUE(tab->state().selected);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(view->tab(Step::dock))->state().selected);
    EXPECT_EQ(view->tab(Step::introduction)->text(), QStringLiteral("SUPER+TAB"));
}

// Where the window manager holds Super+Tab, the welcome window names the keys that work.
TEST_F(OnboardingViewTest, TheSwitcherKeysShownAreThoseInEffect) {
    startService(SimulatedPermission::granted, SimulatedPermission::granted);
    const SwitcherBinding fallback = SwitcherBinding::preferred().last();
    ASSERT_TRUE(fallback.isFallback());
    view = std::make_unique<OnboardingView>(*service, scheduler, Step::introduction,
                                            defaultSearchKeys, OnboardingView::Actions{}, fallback);
    EXPECT_EQ(view->tab(Step::introduction)->text(), fallback.name().toUpper());
    QStringList hints;
    for (const KeyHint* hint : view->page(Step::introduction)->findChildren<KeyHint*>()) {
        hints << hint->templateText();
    }
    ASSERT_FALSE(hints.isEmpty());
    const auto said = [&](const QString& text) {
        return std::any_of(hints.begin(), hints.end(),
                           [&](const QString& hint) { return hint.contains(text); });
    };
    EXPECT_TRUE(said(QStringLiteral("Press ") + fallback.caps())) << hints.join(u'|').toStdString();
    EXPECT_TRUE(said(QStringLiteral("Hold ") + fallback.heldCaps() + QStringLiteral(" and press")));
    EXPECT_FALSE(said(QStringLiteral("Press {Super}{Tab}")));

    // With the switcher off the introduction says so before showing how it works.
    view =
        std::make_unique<OnboardingView>(*service, scheduler, Step::introduction, defaultSearchKeys,
                                         OnboardingView::Actions{}, std::nullopt);
    const QList<KeyHint*> off = view->page(Step::introduction)->findChildren<KeyHint*>();
    ASSERT_FALSE(off.isEmpty());
    EXPECT_EQ(off.first()->templateText(), SwitcherBinding::notice(std::nullopt));
}

TEST_F(OnboardingViewTest, ReturnAdvancesOneStepAtATimeAndFinishesOnTheLast) {
    startService(SimulatedPermission::granted, SimulatedPermission::granted);
    open(Step::introduction);
    // A held key presses once.
    QTest::keyPress(view.get(), Qt::Key_Return);
    qt_sendShortcutOverrideEvent(view.get(), 0, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QTest::keyRelease(view.get(), Qt::Key_Return);
    expectShown(Step::permissions);
    // Return goes to the forward button whatever has the focus.
    view->backButton()->setFocus();
    QTest::keyClick(view.get(), Qt::Key_Enter);
    expectShown(Step::dock);
    EXPECT_EQ(finished, 0);
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_EQ(finished, 1);
    expectShown(Step::dock);
}

TEST_F(OnboardingViewTest, TabsAndBackMoveFreelyAndEscapeNeverFinishes) {
    startService(SimulatedPermission::denied, SimulatedPermission::denied);
    open(Step::introduction);
    QTest::mouseClick(view->tab(Step::dock), Qt::LeftButton);
    expectShown(Step::dock);
    QTest::mouseClick(view->tab(Step::introduction), Qt::LeftButton);
    expectShown(Step::introduction);
    view->jumpTo(Step::dock);
    QTest::mouseClick(view->backButton(), Qt::LeftButton);
    expectShown(Step::permissions);

    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(finished, 0);
}

TEST_F(OnboardingViewTest, TheDockNoticeShowsWhileEitherPermissionIsMissing) {
    startService(SimulatedPermission::granted, SimulatedPermission::denied);
    open(Step::introduction);
    // Reached by its tab without passing the permissions step.
    QTest::mouseClick(view->tab(Step::dock), Qt::LeftButton);
    EXPECT_TRUE(view->permissionNotice()->isVisible());
    EXPECT_EQ(view->searchRow()->text()->templateText(),
              OnboardingView::searchRowTemplate(defaultSearchKeys));

    permissions().setScreenCapture(SimulatedPermission::granted);
    permissions().setAccessibility(SimulatedPermission::denied);
    scheduler.advance(OnboardingView::pollSeconds);
    EXPECT_TRUE(view->permissionNotice()->isVisible());
    permissions().setAccessibility(SimulatedPermission::granted);
    scheduler.advance(OnboardingView::pollSeconds);
    EXPECT_FALSE(view->permissionNotice()->isVisible());

    QTest::mouseClick(view->findChild<PaneLink*>(), Qt::LeftButton);
    EXPECT_EQ(settingsOpened, 1);
    EXPECT_TRUE(view->isVisible());
    expectShown(Step::dock);
}

TEST_F(OnboardingViewTest, TheClosingLineReadsOnOneLineWithItsLinkAndStopInPlace) {
    startService(SimulatedPermission::granted, SimulatedPermission::granted);
    open(Step::dock);
    view->resize(OnboardingView::minimumWidth, OnboardingView::minimumHeight);
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    auto* link = view->findChild<PaneLink*>();
    ASSERT_NE(link, nullptr);
    QWidget* line = link->parentWidget();
    const QList<YardText*> texts = line->findChildren<YardText*>();
    ASSERT_EQ(texts.size(), 2);
    const YardText* lead = texts.first();
    const YardText* stop = texts.last();
    EXPECT_EQ(stop->text(), QStringLiteral("."));
    EXPECT_EQ(lead->width(), lead->sizeHint().width());
    EXPECT_EQ(lead->height(), line->height());
    EXPECT_LT(lead->geometry().right(), link->x());
    EXPECT_EQ(stop->x(), link->geometry().right() + 1);
    EXPECT_EQ(link->geometry().center().y(), lead->geometry().center().y());
}

TEST_F(OnboardingViewTest, AGrantSeenByThePollHidesTheTileAndRestoresTheDescription) {
    startService(SimulatedPermission::granted, SimulatedPermission::denied);
    open(Step::permissions);
    PermissionRow* screen = view->screenRecordingRow();
    EXPECT_TRUE(view->dragTile()->isVisible());
    // Asked for; the system's check keeps answering no until a relaunch.
    QTest::mouseClick(screen->actionButton(), Qt::LeftButton);
    ASSERT_EQ(screen->state(), State::restartRequired);
    EXPECT_EQ(screen->description()->text(),
              OnboardingView::screenRecordingDescription(State::restartRequired));
    EXPECT_TRUE(view->dragTile()->isVisible());
    scheduler.advance(OnboardingView::pollSeconds);
    ASSERT_EQ(screen->state(), State::restartRequired) << "the live test fails too";

    permissions().setScreenCapture(SimulatedPermission::granted);
    scheduler.advance(OnboardingView::pollSeconds);
    EXPECT_EQ(screen->state(), State::granted);
    EXPECT_FALSE(view->dragTile()->isVisible());
    EXPECT_EQ(screen->description()->text(),
              OnboardingView::screenRecordingDescription(State::granted));
    const auto status = events.last(QStringLiteral("permission-status"));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->fields.value(QStringLiteral("source")), OnboardingView::pollSource);
}

TEST_F(OnboardingViewTest, PollsEverySecondOnlyWhileOnScreen) {
    startService(SimulatedPermission::granted, SimulatedPermission::granted);
    open(Step::introduction, false);
    countRefreshes();
    EXPECT_FALSE(view->isPolling());
    scheduler.advance(5.0);
    EXPECT_EQ(refreshes, 0) << "never shown";

    view->show();
    scheduler.advance(3.0);
    EXPECT_EQ(refreshes, 3);

    view->close();
    EXPECT_FALSE(view->isPolling());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    scheduler.advance(10.0);
    EXPECT_EQ(refreshes, 3);

    // Shown twice in a row still polls once a second.
    view->show();
    view->hide();
    view->show();
    view->show();
    scheduler.advance(2.0);
    EXPECT_EQ(refreshes, 5);
    view.reset();
    EXPECT_EQ(scheduler.pendingCount(), 0u) << "nothing outlives the view";
}

}  // namespace
}  // namespace pellucine
