#include <gtest/gtest.h>

#include <QObject>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/ManualScheduler.h"
#include "base/Observable.h"
#include "base/SubscriptionBag.h"

namespace pellucine {
namespace {

TEST(ObservableTest, SubscribersReadTheNewValueAndHearEveryStore) {
    Observable<int> value(1);
    std::vector<std::pair<int, int>> seen;  // (argument, value() at notification)
    auto subscription = value.subscribe([&](const int& v) { seen.push_back({v, value.value()}); });
    value.set(2);
    value.set(2);
    value.modify([](int& v) { v += 3; });
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{2, 2}, {2, 2}, {5, 5}}));
}

TEST(ObservableTest, DistinctSubscriptionsStartFromTheCurrentValueAndSkipRepeats) {
    Observable<int> value(1);
    std::vector<int> seen;
    auto subscription = value.subscribeDistinct([&](const int& v) { seen.push_back(v); });
    value.set(1);
    value.set(2);
    value.set(2);
    value.set(1);
    EXPECT_EQ(seen, (std::vector<int>{2, 1}));
}

TEST(ObservableTest, KeyedDistinctSubscriptionsFollowOnlyTheirKey) {
    Observable<std::pair<bool, int>> setting({true, 300});
    std::vector<int> delays;
    auto subscription =
        setting.subscribeDistinct([](const std::pair<bool, int>& s) { return s.second; },
                                  [&](const int& delay) { delays.push_back(delay); });
    setting.set({false, 300});
    setting.set({false, 500});
    setting.set({true, 500});
    EXPECT_EQ(delays, (std::vector<int>{500}));
}

TEST(ObservableTest, ASubscriberStoringANewerValueStopsTheOlderAnnouncement) {
    Observable<int> value(0);
    std::vector<int> first;
    std::vector<int> second;
    auto a = value.subscribe([&](const int& v) {
        first.push_back(v);
        if (v == 1) {
            value.set(2);
        }
    });
    auto b = value.subscribe([&](const int& v) { second.push_back(v); });
    value.set(1);
    EXPECT_EQ(first, (std::vector<int>{1, 2}));
    EXPECT_EQ(second, (std::vector<int>{2})) << "never left holding the stale 1";
    EXPECT_EQ(value.value(), 2);
}

TEST(ObservableTest, SubscriptionsMadeOrDroppedDuringAnAnnouncementApplyFromTheNext) {
    Observable<int> value(0);
    std::vector<std::string> log;
    std::optional<Subscription> late;
    Subscription b;
    auto a = value.subscribe([&](const int& v) {
        log.push_back("a" + std::to_string(v));
        b.reset();
        if (!late) {
            late =
                value.subscribe([&](const int& w) { log.push_back("late" + std::to_string(w)); });
        }
    });
    b = value.subscribe([&](const int& v) { log.push_back("b" + std::to_string(v)); });
    value.set(1);
    value.set(2);
    EXPECT_EQ(log, (std::vector<std::string>{"a1", "a2", "late2"}));
}

TEST(ObservableTest, QueuedDeliveryWaitsForATurnAndIsDroppedWithItsSubscription) {
    ManualScheduler s;
    Observable<int> value(0);
    std::vector<int> seen;
    auto kept = value.subscribeDistinct([&](const int& v) { seen.push_back(v); }, &s);
    auto dropped = value.subscribe([&](const int& v) { seen.push_back(100 + v); }, &s);
    value.set(1);
    value.set(1);
    EXPECT_TRUE(seen.empty());
    dropped.reset();
    s.runUntilIdle();
    EXPECT_EQ(seen, (std::vector<int>{1}));
}

TEST(ObservableTest, SubscriptionsMayOutliveTheirObservable) {
    Subscription subscription;
    {
        Observable<int> value(0);
        subscription = value.subscribe([](const int&) {});
    }
    EXPECT_TRUE(subscription.isActive());
    subscription.reset();
    EXPECT_FALSE(subscription.isActive());
}

class Emitter : public QObject {
  public:
    void ping() { setObjectName(objectName() + QStringLiteral("x")); }
};

TEST(SubscriptionBagTest, ClearAndDestructionDisconnectEverything) {
    Observable<int> value(0);
    Emitter emitter;
    int heard = 0;
    {
        SubscriptionBag bag;
        bag += value.subscribe([&](const int&) { ++heard; });
        bag += QObject::connect(&emitter, &QObject::objectNameChanged, [&] { ++heard; });
        bag.add(Subscription());
        EXPECT_EQ(bag.size(), 2u);
        value.set(1);
        emitter.ping();
        EXPECT_EQ(heard, 2);
        bag.clear();
        EXPECT_TRUE(bag.isEmpty());
        value.set(2);
        emitter.ping();
        EXPECT_EQ(heard, 2);
        bag += value.subscribe([&](const int&) { ++heard; });
    }
    value.set(3);
    EXPECT_EQ(heard, 2);
}

}  // namespace
}  // namespace pellucine
