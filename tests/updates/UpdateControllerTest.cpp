#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "updates/UpdateController.h"

namespace pellucine {
namespace {

TEST(UpdateControllerTest, ANewControllerIsIdleAndStartsNothing) {
    const UpdateController controller;
    EXPECT_FALSE(controller.note().has_value());
    EXPECT_FALSE(controller.isChecking());
    EXPECT_FALSE(controller.lastCheckedAt().has_value());
    EXPECT_FALSE(controller.lastCheckFailed());
    EXPECT_FALSE(controller.availableVersion().has_value());
    EXPECT_EQ(controller.channel(), UpdateChannel::stable);
    EXPECT_EQ(controller.machinePreferences(), MachinePreferences{});
    EXPECT_FALSE(controller.hasUpdater());
    EXPECT_EQ(controller.checkCount(), 0);
    // No timer of its own and no child objects (requests, updater).
    EXPECT_TRUE(QAbstractEventDispatcher::instance()
                    ->registeredTimers(const_cast<UpdateController*>(&controller))
                    .isEmpty());
    EXPECT_TRUE(controller.children().isEmpty());
}

}  // namespace
}  // namespace pellucine
