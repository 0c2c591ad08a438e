#include <gtest/gtest.h>

#include "RecordingDeepLinkDestinations.h"
#include "app/DeepLinkQueue.h"
#include "base/RecordingEventLog.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

class DeepLinkQueueTest : public ::testing::Test {
  protected:
    QStringList panes() const {
        QStringList out;
        for (const auto& event : events.events()) {
            EXPECT_EQ(event.name, "deep-link");
            out << event.fields.value("pane");
        }
        return out;
    }

    RecordingEventLog events;
    testing::RecordingDeepLinkDestinations windows;
    DeepLinkQueue queue{[this](const QUrl& url) {
        handleDeepLink(url, events, &windows);
        return true;
    }};
};

TEST_F(DeepLinkQueueTest, LinksBeforeLaunchWaitAndAreHandledOldestFirstWhenItFinishes) {
    queue.receive("pellucine://settings/dock");
    queue.receive("pellucine://diagnostics");
    EXPECT_TRUE(windows.openings.isEmpty());
    EXPECT_TRUE(events.events().empty());
    ASSERT_EQ(queue.pending().size(), 2);

    events.record("launch");
    queue.drain();
    EXPECT_EQ(events.names(), (QStringList{"launch", "deep-link", "deep-link"}));
    EXPECT_EQ(windows.openings, (QStringList{"settings dock", "diagnostics"}));
    EXPECT_TRUE(queue.pending().isEmpty());
    EXPECT_TRUE(queue.launched());

    // Afterwards links are handled at once, and a second drain hands on nothing again.
    queue.receive("pellucine://settings");
    EXPECT_EQ(windows.openings.last(), "settings");
    queue.drain();
    EXPECT_EQ(windows.openings.size(), 3);
}

TEST_F(DeepLinkQueueTest, MalformedAndForeignLinksChangeNothingBeforeOrAfterLaunch) {
    const QStringList rejected{"pellucine://settings/%zz", "not a link", "",
                               QStringLiteral("pellucine://settings/") + QString(5000, 'x')};
    for (const QString& text : rejected) {
        queue.receive(text);
    }
    EXPECT_TRUE(queue.pending().isEmpty());
    // Well-formed links of another scheme or host wait, then do nothing and record nothing.
    queue.receive("https://settings/dock");
    queue.receive("pellucine://about");
    queue.drain();
    for (const QString& text : rejected) {
        queue.receive(text);
    }
    queue.receive("pellucine://update");
    EXPECT_TRUE(events.events().empty());
    EXPECT_TRUE(windows.openings.isEmpty());
}

TEST_F(DeepLinkQueueTest, AFloodBeforeLaunchKeepsOnlyTheFirstLinks) {
    for (int i = 0; i < DeepLinkQueue::maximumPending + 10; ++i) {
        queue.receive(QStringLiteral("pellucine://settings/page%1").arg(i));
    }
    ASSERT_EQ(queue.pending().size(), DeepLinkQueue::maximumPending);
    queue.drain();
    ASSERT_EQ(windows.openings.size(), DeepLinkQueue::maximumPending);
    EXPECT_EQ(windows.openings.first(), "settings page0");
    EXPECT_EQ(windows.openings.last(),
              QStringLiteral("settings page%1").arg(DeepLinkQueue::maximumPending - 1));
}

TEST_F(DeepLinkQueueTest, EachLinkRecordsItsPaneAndOpensOnlyItsWindow) {
    queue.drain();
    for (const QString& link :
         QStringList{"pellucine://settings/permissions", "pellucine://settings/Updates",
                     "pellucine://settings/", "pellucine://settings/elsewhere",
                     "pellucine://diagnostics/logs"}) {
        queue.receive(link);
    }
    EXPECT_EQ(panes(),
              (QStringList{"permissions", "updates", "settings", "unknown", "diagnostics"}));
    // The permissions link opens the welcome window only and sets no page.
    EXPECT_EQ(windows.openings, (QStringList{"permissions", "settings updates", "settings",
                                             "settings elsewhere", "diagnostics"}));
}

TEST_F(DeepLinkQueueTest, WithoutDestinationsALinkIsRecordedAndOpensNothing) {
    handleDeepLink(QUrl("pellucine://settings/dock"), events, nullptr);
    handleDeepLink(QUrl("pellucine://nowhere"), events, nullptr);
    EXPECT_EQ(panes(), QStringList{"dock"});
}

}  // namespace
}  // namespace pellucine
