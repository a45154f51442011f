// Where a window off every screen is put, and workspace coordinates read as screen pixels.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/placement_geometry.h"

namespace {

// A 1280 x 1024 monitor with a 40-pixel taskbar along its bottom edge.
constexpr Box WORK = {0, 0, 1280, 984};

struct FitCase {
    const char* what;
    Box box;
    Box expected;
};

::testing::AssertionResult Same(const char* what, const Box& got, const Box& want)
{
    if (got.left == want.left && got.top == want.top && got.right == want.right && got.bottom == want.bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << ": expected " << want.left << ", " << want.top << ", "
                                         << want.right << ", " << want.bottom << "; got " << got.left << ", "
                                         << got.top << ", " << got.right << ", " << got.bottom;
}

}  // namespace

TEST(FitIntoWorkArea, AWindowOffEveryScreenComesToTheNearestEdgesKeepingWhatSizeFits)
{
    static const FitCase cases[] = {
        {"beyond the right", {3000, 100, 3400, 400}, {880, 100, 1280, 400}},
        {"beyond the bottom left", {-900, 2000, -500, 2300}, {0, 684, 400, 984}},
        {"left where a monitor was unplugged", {-1700, -300, -1000, -100}, {0, 0, 700, 200}},
        {"a minimized window's place", {-32000, -32000, -31840, -31969}, {0, 0, 160, 31}},
        {"wider and taller than the work area", {5000, 5000, 7000, 6500}, {0, 0, 1280, 984}},
        {"already inside", {10, 20, 110, 220}, {10, 20, 110, 220}},
        {"at the far ends of the range", {INT32_MAX - 10, INT32_MIN, INT32_MAX, INT32_MIN + 10}, {1270, 0, 1280, 10}},
        {"no size, which no window has", {3000, 50, 2000, 40}, {1280, 50, 1280, 50}},
    };
    for (const FitCase& c : cases)
        EXPECT_TRUE(Same(c.what, FitIntoWorkArea(c.box, WORK), c.expected));
    EXPECT_TRUE(Same("an empty work area", FitIntoWorkArea({5, 5, 50, 50}, {100, 100, 100, 100}), {100, 100, 100, 100}));
}

TEST(WorkspaceToScreen, MovesByWhereTheWorkAreaStartsOnItsMonitor)
{
    // A taskbar along the top of the primary monitor, and one along the left edge of a
    // second monitor to its right.
    EXPECT_TRUE(Same("taskbar on top", WorkspaceToScreen({100, 200, 740, 680}, {0, 40, 1280, 1024}, {0, 0, 1280, 1024}),
                     {100, 240, 740, 720}));
    EXPECT_TRUE(Same("second monitor", WorkspaceToScreen({1400, 10, 1600, 110}, {1340, 0, 2560, 1024},
                                                         {1280, 0, 2560, 1024}),
                     {1460, 10, 1660, 110}));
    EXPECT_TRUE(Same("wraps", WorkspaceToScreen({INT32_MAX, 0, INT32_MAX, 0}, {1, 0, 2, 1}, {0, 0, 2, 1}),
                     {INT32_MIN, 0, INT32_MIN, 0}));
}
