#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMenu>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "app/ProgramActivationPolicy.h"

namespace pellucine {
namespace {

struct Listing {
    QWindow* window;
    bool unlisted;
    bool mapped;

    friend bool operator==(const Listing&, const Listing&) = default;
};

struct RecordingListing final : WindowListing {
    explicit RecordingListing(std::vector<Listing>& log) : log(log) {}
    void setUnlisted(QWindow& window, bool unlisted, bool mapped) override {
        log.push_back({&window, unlisted, mapped});
    }
    std::vector<Listing>& log;
};

class ProgramActivationPolicyTest : public ::testing::Test {
  protected:
    std::unique_ptr<ProgramActivationPolicy> make(ActivationPolicy policy) {
        return std::make_unique<ProgramActivationPolicy>(policy,
                                                         std::make_unique<RecordingListing>(log));
    }

    std::vector<Listing> log;
};

TEST_F(ProgramActivationPolicyTest, WindowsAreListedAsThePolicySaysBeforeTheyAreMapped) {
    const auto policy = make(ActivationPolicy::accessory);
    QWidget settings;
    settings.show();
    ASSERT_EQ(log, (std::vector<Listing>{{settings.windowHandle(), true, false}}));

    // A second showing applies the policy again: hiding withdraws the window.
    settings.hide();
    policy->setPolicy(ActivationPolicy::regular);
    EXPECT_EQ(log.size(), 1u);
    settings.show();
    EXPECT_EQ(log.back(), (Listing{settings.windowHandle(), false, false}));
}

TEST_F(ProgramActivationPolicyTest, AChangeReachesEveryShownWindowOnceAndOnlyOnRealChange) {
    const auto policy = make(ActivationPolicy::regular);
    QWidget settings;
    QWidget diagnostics;
    QWidget hidden;
    settings.show();
    diagnostics.show();
    log.clear();

    policy->setPolicy(ActivationPolicy::regular);
    EXPECT_TRUE(log.empty());
    policy->setPolicy(ActivationPolicy::accessory);
    ASSERT_EQ(log.size(), 2u);
    for (const Listing& listing : log) {
        EXPECT_TRUE(listing.window == settings.windowHandle() ||
                    listing.window == diagnostics.windowHandle());
        EXPECT_TRUE(listing.unlisted);
        EXPECT_TRUE(listing.mapped);
    }
    EXPECT_EQ(policy->policy(), ActivationPolicy::accessory);
}

TEST_F(ProgramActivationPolicyTest, PopupsAndTooltipsAreLeftAlone) {
    const auto policy = make(ActivationPolicy::accessory);
    QMenu menu;
    menu.addAction(QStringLiteral("Settings…"));
    menu.popup(QPoint(10, 10));
    QWidget tooltip(nullptr, Qt::ToolTip);
    tooltip.show();
    QWidget panel(nullptr, Qt::Tool);
    panel.show();
    EXPECT_EQ(log, (std::vector<Listing>{{panel.windowHandle(), true, false}}));
}

TEST_F(ProgramActivationPolicyTest, UnderTheProhibitedPolicyNoWindowStaysShown) {
    const auto policy = make(ActivationPolicy::prohibited);
    QWidget settings;
    settings.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(settings.isVisible());
    EXPECT_TRUE(log.empty());

    // Windows shown before the change are taken down too; a window deleted meanwhile is fine.
    policy->setPolicy(ActivationPolicy::regular);
    settings.show();
    auto gone = std::make_unique<QWidget>();
    gone->show();
    policy->setPolicy(ActivationPolicy::prohibited);
    gone.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(settings.isVisible());
}

}  // namespace
}  // namespace pellucine
