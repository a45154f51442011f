// Where a window off every screen is put, and workspace coordinates read as screen pixels.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/placement_geometry.h"

namespace {

::testing::AssertionResult Same(const Box& got, const Box& want)
{
    if (got.left == want.left && got.top == want.top && got.right == want.right && got.bottom == want.bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got.left << ", " << got.top << ", " << got.right << ", "
                                         << got.bottom;
}

}  // namespace

TEST(PlacementGeometry, OffEveryScreenGoesToTheNearestEdgesOfTheWorkAreaKeepingWhatSizeFits)
{
    // A 1280 x 1024 monitor with a 40-pixel taskbar along its bottom edge.
    const Box work = {0, 0, 1280, 984};
    const Box cases[][2] = {
        {{3000, 100, 3400, 400}, {880, 100, 1280, 400}},                // beyond the right
        {{-1700, -300, -1000, -100}, {0, 0, 700, 200}},                 // where a monitor was unplugged
        {{5000, 5000, 7000, 6500}, {0, 0, 1280, 984}},                  // larger than the work area
        {{10, 20, 110, 220}, {10, 20, 110, 220}},                       // inside already
        {{INT32_MAX - 10, INT32_MIN, INT32_MAX, INT32_MIN + 10}, {1270, 0, 1280, 10}},
        {{3000, 50, 2000, 40}, {1280, 50, 1280, 50}},                   // no size, which no window has
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Same(FitIntoWorkArea(c[0], work), c[1])) << c[0].left << ", " << c[0].top;
}

TEST(PlacementGeometry, WorkspaceCoordinatesStartWhereTheWorkAreaStartsOnItsMonitor)
{
    // A taskbar along the top of a second monitor, right of the first, and one along the
    // left edge of a monitor whose coordinates wrap around.
    const Box second = {1280, 0, 2560, 1024}, belowTaskbar = {1280, 40, 2560, 1024};
    EXPECT_TRUE(Same(WorkspaceToScreen({1400, 10, 1600, 110}, belowTaskbar, second), {1400, 50, 1600, 150}));
    EXPECT_TRUE(Same(WorkspaceToScreen({INT32_MAX, 0, INT32_MAX, 0}, {1, 0, 2, 1}, {0, 0, 2, 1}),
                     {INT32_MIN, 0, INT32_MIN, 0}));
}
