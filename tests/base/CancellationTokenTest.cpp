#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "base/CancellationToken.h"

namespace pellucine {
namespace {

TEST(CancellationTokenTest, CallbacksRunOnceInOrderAndLateOnesRunAtOnce) {
    CancellationToken token;
    std::vector<int> order;
    auto a = token.onCancel([&] { order.push_back(1); });
    auto b = token.onCancel([&] { order.push_back(2); });
    auto dropped = token.onCancel([&] { order.push_back(99); });
    dropped.reset();
    const CancellationToken copy = token;
    copy.cancel();
    token.cancel();
    EXPECT_TRUE(token.isCancelled());
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    auto late = token.onCancel([&] { order.push_back(3); });
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(CancellationTokenTest, CallbackDroppingALaterRegistrationPreventsItsCall) {
    CancellationToken token;
    int laterCalls = 0;
    std::optional<CancellationRegistration> later;
    auto first = token.onCancel([&] { later.reset(); });
    later.emplace(token.onCancel([&] { ++laterCalls; }));
    token.cancel();
    EXPECT_EQ(laterCalls, 0);
}

TEST(CancellationTokenTest, ChildrenFollowTheirParentButNotTheOtherWay) {
    CancellationToken parent;
    const CancellationToken child = parent.child();
    const CancellationToken grandchild = child.child();
    const CancellationToken sibling = parent.child();
    sibling.cancel();
    EXPECT_FALSE(parent.isCancelled());
    EXPECT_FALSE(child.isCancelled());
    parent.cancel();
    EXPECT_TRUE(child.isCancelled());
    EXPECT_TRUE(grandchild.isCancelled());
    EXPECT_TRUE(parent.child().isCancelled());
    EXPECT_NE(child, parent);
}

TEST(CancellationTokenTest, ADroppedChildLeavesItsParentWorking) {
    CancellationToken parent;
    { const CancellationToken shortLived = parent.child(); }
    int calls = 0;
    auto registration = parent.onCancel([&] { ++calls; });
    parent.cancel();
    EXPECT_EQ(calls, 1);
}

TEST(CancellationTokenTest, ThrowIfCancelledThrowsANamedError) {
    CancellationToken token;
    EXPECT_NO_THROW(token.throwIfCancelled());
    token.cancel();
    try {
        token.throwIfCancelled();
        FAIL() << "expected a throw";
    } catch (const CancellationError& error) {
        EXPECT_EQ(errorTypeName(error), QStringLiteral("pellucine.CancellationError"));
    }
}

}  // namespace
}  // namespace pellucine
