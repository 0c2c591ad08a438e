#include <gtest/gtest.h>

#include "platform/sim/SimulatedLoginItems.h"
#include "preferences/LoginItemService.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

struct Published {
    bool enabled;
    bool needsApproval;
    friend bool operator==(const Published&, const Published&) = default;
};

Published published(LoginItemService& service) {
    return {service.isEnabled().value(), service.needsApproval().value()};
}

TEST(LoginItemServiceTest, EachStatusPublishesItsPairFromOneRead) {
    const std::pair<LoginItemStatus, Published> table[] = {
        {LoginItemStatus::notRegistered, {false, false}},
        {LoginItemStatus::enabled, {true, false}},
        {LoginItemStatus::requiresApproval, {false, true}},
        {LoginItemStatus::notFound, {false, false}},
    };
    for (const auto& [status, expected] : table) {
        SimulatedLoginItems items;
        items.setStatus(status);
        LoginItemService service(items);
        EXPECT_EQ(published(service), expected) << int(status);
        EXPECT_EQ(items.statusReads(), 1);
        service.refresh();
        EXPECT_EQ(items.statusReads(), 2);
    }
}

TEST(LoginItemServiceTest, ARegistrationAwaitingApprovalIsNotEnabled) {
    SimulatedLoginItems items;
    items.setStatusAfterRegistering(LoginItemStatus::requiresApproval);
    LoginItemService service(items);
    service.setEnabled(true);
    EXPECT_EQ(published(service), (Published{false, true}));
    service.setEnabled(false);
    EXPECT_EQ(published(service), (Published{false, false}));
    EXPECT_EQ(items.requests(),
              (QStringList{QStringLiteral("register"), QStringLiteral("unregister")}));
}

TEST(LoginItemServiceTest, ARefusedChangeShowsWhatTheSystemHasBeforeTheErrorArrives) {
    SimulatedLoginItems items;
    LoginItemService service(items);
    // Switched on elsewhere since the last read; this switch-off is refused.
    items.setStatus(LoginItemStatus::enabled);
    items.failRequests(QStringLiteral("Operation not permitted"));
    Published whenThrown{false, false};
    try {
        service.setEnabled(false);
        ADD_FAILURE() << "the refusal must reach the caller";
    } catch (const LoginItemError& error) {
        whenThrown = published(service);
        EXPECT_EQ(error.localizedDescription(), QStringLiteral("Operation not permitted"));
    }
    EXPECT_EQ(whenThrown, (Published{true, false}));
}

}  // namespace
}  // namespace pellucine
