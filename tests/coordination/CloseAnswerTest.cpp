#include <gtest/gtest.h>

#include "CoordinatorFixture.h"
#include "coordination/CloseAnswer.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::CoordinatorFixture;
using Outcome = CloseAnswer::Outcome;

WindowListEntry entry(qint64 number, qint64 pid, bool onScreen = true) {
    WindowListEntry e;
    e.number = number;
    e.ownerPID = pid;
    e.isOnScreen = onScreen;
    return e;
}

TEST(CloseAnswerRuleTest, ANewWindowOfTheApplicationOnScreenIsItsAnswer) {
    // Application 7 was asked to close window 1 (and 3) while 1 and 2 were on screen.
    const CloseAnswer::Request request{7, {1, 3}, {1, 2}};
    const struct {
        const char* name;
        QList<WindowListEntry> now;
        Outcome outcome;
    } rows[] = {
        {"both still there", {entry(1, 7), entry(2, 7), entry(3, 7, false)}, Outcome::waiting},
        {"one of two gone", {entry(2, 7), entry(3, 7, false)}, Outcome::waiting},
        {"all gone", {entry(2, 7)}, Outcome::closed},
        {"a prompt over the window", {entry(1, 7), entry(2, 7), entry(9, 7)}, Outcome::prompted},
        {"a prompt after the window went", {entry(2, 7), entry(9, 7)}, Outcome::prompted},
        {"a window of another application", {entry(1, 7), entry(9, 8)}, Outcome::waiting},
        {"a new window off screen", {entry(1, 7), entry(9, 7, false)}, Outcome::waiting},
        {"a window that was off screen comes on", {entry(1, 7), entry(3, 7)}, Outcome::prompted},
        {"an entry without a number", {entry(1, 7), WindowListEntry{}}, Outcome::waiting},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CloseAnswer::judge(request, row.now), row.outcome) << row.name;
    }
}

class CloseAnswerTest : public CoordinatorFixture {
  protected:
    // The Dock glance of Notes, and its window `number` as the glance shows it.
    std::optional<WindowDescriptor> openNotesGlance(quint32 number) {
        coordinator->dockHoverChanged({notes, {650, 40}});
        scheduler.runUntilIdle();
        for (const WindowDescriptor& window : model->switcherSelection().value().windows) {
            if (window.id == number && panel->isPanelVisible()) {
                return window;
            }
        }
        return std::nullopt;
    }
    int unanswered() const { return events.count(QStringLiteral("window-action-unanswered")); }
};

TEST_F(CloseAnswerTest, APromptEndsTheGlanceAndSilenceIsSaidAfterTheWait) {
    const struct {
        const char* name;
        bool closes;
        bool prompts;
        bool glanceStays;
        bool saidUnanswered;
    } rows[] = {
        {"closes", true, false, true, false},
        {"asks with a window of its own", false, true, false, false},
        {"does not answer", false, false, true, true},
    };
    for (const auto& row : rows) {
        SimulatedWindow asked;
        asked.ownerPID = notes;
        asked.frame = {120, 140, 400, 300};
        asked.title = QString::fromLatin1(row.name);
        asked.closesWhenAsked = row.closes;
        const quint32 number = desktop.addWindow(asked);
        makeCoordinator();
        const std::optional<WindowDescriptor> target = openNotesGlance(number);
        ASSERT_TRUE(target) << row.name;
        const int before = unanswered();
        panel->act(WindowAction::close(), *target);
        scheduler.advance(AppCoordinator::closeAnswerWait / 2);
        if (row.prompts) {
            SimulatedWindow prompt;
            prompt.ownerPID = notes;
            prompt.frame = {200, 200, 300, 120};
            prompt.subrole = QStringLiteral("AXDialog");
            desktop.addWindow(prompt);
        }
        scheduler.advance(AppCoordinator::closeAnswerWait / 2 +
                          AppCoordinator::closeAnswerInterval);
        EXPECT_EQ(panel->isPanelVisible(), row.glanceStays) << row.name;
        EXPECT_EQ(unanswered() - before, row.saidUnanswered ? 1 : 0) << row.name;
        EXPECT_EQ(model->unansweredWindows().value().contains(number), row.saidUnanswered)
            << row.name;
        if (row.saidUnanswered) {
            EXPECT_EQ(model->errorMessage().value(),
                      QStringLiteral("Notes did not answer. Its window is still open."));
            // Until the glance ends.
            coordinator->dockHoverEnded();
            EXPECT_TRUE(model->unansweredWindows().value().isEmpty());
        }
    }
}

}  // namespace
}  // namespace pellucine
