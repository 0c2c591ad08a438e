#include <gtest/gtest.h>

#include "platform/x11/X11PointerPoll.h"

namespace pellucine {
namespace {

using Dock = X11PointerPoll::Dock;

// Root pixels of a 1280 x 800 screen with a 30-pixel taskbar along its bottom.
const QRect taskbar(0, 770, 1280, 30);
constexpr int near = X11PointerPoll::nearIntervalMilliseconds;
constexpr int unheard = X11PointerPoll::unheardIntervalMilliseconds;
constexpr int reach = X11PointerPoll::reach;

TEST(X11PointerPollTest, ReadsThePositionOnlyWhereAWarpGoesUnheard) {
    struct Row {
        const char* name;
        std::optional<QPoint> last;
        std::optional<Dock> dock;
        bool deviceMovesHeard;
        std::optional<int> interval;
    };
    const Row rows[] = {
        {"no Dock", QPoint(600, 780), std::nullopt, true, std::nullopt},
        {"no Dock, device moves unheard", QPoint(600, 400), std::nullopt, false, std::nullopt},
        {"own bar, on it", QPoint(600, 780), Dock{taskbar, true}, true, std::nullopt},
        {"own bar, device moves unheard", QPoint(600, 400), Dock{taskbar, true}, false,
         std::nullopt},
        {"empty taskbar frame", QPoint(600, 780), Dock{QRect(), false}, true, std::nullopt},
        {"on the taskbar", QPoint(600, 780), Dock{taskbar, false}, true, near},
        {"taskbar's corner", QPoint(1279, 799), Dock{taskbar, false}, true, near},
        {"at the reach above it", QPoint(600, 770 - reach), Dock{taskbar, false}, true, near},
        {"one pixel beyond the reach", QPoint(600, 769 - reach), Dock{taskbar, false}, true,
         std::nullopt},
        {"far from it", QPoint(600, 300), Dock{taskbar, false}, true, std::nullopt},
        {"far, device moves unheard", QPoint(600, 300), Dock{taskbar, false}, false, unheard},
        {"near, device moves unheard", QPoint(600, 780), Dock{taskbar, false}, false, near},
        {"never seen", std::nullopt, Dock{taskbar, false}, true, near},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(X11PointerPoll::intervalMilliseconds(row.last, row.dock, row.deviceMovesHeard),
                  row.interval)
            << row.name;
    }
}

}  // namespace
}  // namespace pellucine
