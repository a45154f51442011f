// Where the U, D, L, R, Taller, Shorter, Wider and Narrower buttons put a window.
#include <gtest/gtest.h>

#include <cstdint>

#include "app/step_geometry.h"

namespace {

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The fixture window of the examples: at (100, 200), 640 wide and 480 high.
constexpr Rect WINDOW = {100, 200, 740, 680};

using Planner = bool (*)(int32_t, int32_t, int32_t, int32_t, int16_t, int32_t, Placement*);

struct StepCase {
    const char* what;
    Rect rect;
    int16_t direction;
    int32_t step;
    Placement expected;
};

::testing::AssertionResult Planned(Planner plan, const StepCase& c)
{
    // Filled with a pattern first, so a plan that forgets a field shows up.
    Placement p = {-7, -7, -7, -7};
    if (!plan(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom, c.direction, c.step, &p))
        return ::testing::AssertionFailure() << c.what << ": code " << c.direction << " was refused";
    const Placement& e = c.expected;
    if (p.x == e.x && p.y == e.y && p.width == e.width && p.height == e.height)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << c.what << ": expected x " << e.x << ", y " << e.y << ", " << e.width << " x " << e.height
           << "; got x " << p.x << ", y " << p.y << ", " << p.width << " x " << p.height;
}

void ExpectPlans(Planner plan, const StepCase* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        EXPECT_TRUE(Planned(plan, cases[i]));
}

}  // namespace

TEST(StepMove, EachButtonMovesOneWayAndKeepsTheSize)
{
    static const StepCase cases[] = {
        {"U by 1", WINDOW, MOVE_UP, 1, {100, 199, 640, 480}},
        {"D by 1", WINDOW, MOVE_DOWN, 1, {100, 201, 640, 480}},
        {"R by 1", WINDOW, MOVE_RIGHT, 1, {101, 200, 640, 480}},
        {"L by 1", WINDOW, MOVE_LEFT, 1, {99, 200, 640, 480}},
        {"U by 25", WINDOW, MOVE_UP, 25, {100, 175, 640, 480}},
        {"R by 300", WINDOW, MOVE_RIGHT, 300, {400, 200, 640, 480}},
        {"U past the top of the screen", WINDOW, MOVE_UP, 250, {100, -50, 640, 480}},
    };
    ExpectPlans(PlanStepMove, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepMove, CodesAreUpDownRightLeftInThatOrder)
{
    EXPECT_EQ(MOVE_UP, 1);
    EXPECT_EQ(MOVE_DOWN, 2);
    EXPECT_EQ(MOVE_RIGHT, 3);
    EXPECT_EQ(MOVE_LEFT, 4);
    // The dispatch passes bare numbers: 3 must grow x and 4 shrink it.
    static const StepCase cases[] = {
        {"code 1", WINDOW, 1, 5, {100, 195, 640, 480}},
        {"code 2", WINDOW, 2, 5, {100, 205, 640, 480}},
        {"code 3", WINDOW, 3, 5, {105, 200, 640, 480}},
        {"code 4", WINDOW, 4, 5, {95, 200, 640, 480}},
    };
    ExpectPlans(PlanStepMove, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepMove, StepZeroLeavesThePlacementAsItWas)
{
    static const StepCase cases[] = {
        {"U by 0", WINDOW, MOVE_UP, 0, {100, 200, 640, 480}},
        {"D by 0", WINDOW, MOVE_DOWN, 0, {100, 200, 640, 480}},
        {"R by 0", WINDOW, MOVE_RIGHT, 0, {100, 200, 640, 480}},
        {"L by 0", WINDOW, MOVE_LEFT, 0, {100, 200, 640, 480}},
    };
    ExpectPlans(PlanStepMove, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepMove, NegativeStepMovesTheOtherWay)
{
    static const StepCase cases[] = {
        {"U by -5", WINDOW, MOVE_UP, -5, {100, 205, 640, 480}},
        {"D by -5", WINDOW, MOVE_DOWN, -5, {100, 195, 640, 480}},
        {"R by -5", WINDOW, MOVE_RIGHT, -5, {95, 200, 640, 480}},
        {"L by -5", WINDOW, MOVE_LEFT, -5, {105, 200, 640, 480}},
    };
    ExpectPlans(PlanStepMove, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepMove, ExtremeStepsWrapAroundInThirtyTwoBits)
{
    static const StepCase cases[] = {
        {"U by INT32_MAX", WINDOW, MOVE_UP, INT32_MAX, {100, -2147483447, 640, 480}},
        {"D by INT32_MAX", WINDOW, MOVE_DOWN, INT32_MAX, {100, -2147483449, 640, 480}},
        {"R by INT32_MAX", WINDOW, MOVE_RIGHT, INT32_MAX, {-2147483549, 200, 640, 480}},
        {"L by INT32_MAX", WINDOW, MOVE_LEFT, INT32_MAX, {-2147483547, 200, 640, 480}},
        // Negating INT32_MIN gives INT32_MIN again, so U and D land on the same spot.
        {"U by INT32_MIN", WINDOW, MOVE_UP, INT32_MIN, {100, -2147483448, 640, 480}},
        {"D by INT32_MIN", WINDOW, MOVE_DOWN, INT32_MIN, {100, -2147483448, 640, 480}},
        {"R by INT32_MIN", WINDOW, MOVE_RIGHT, INT32_MIN, {-2147483548, 200, 640, 480}},
        {"L by INT32_MIN", WINDOW, MOVE_LEFT, INT32_MIN, {-2147483548, 200, 640, 480}},
    };
    ExpectPlans(PlanStepMove, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepMove, WindowsAtTheEdgeOfTheCoordinateRangeWrapAround)
{
    static const Rect farCorner = {INT32_MAX - 10, INT32_MIN + 5, INT32_MAX, INT32_MIN + 20};
    // Spanning the whole range, the width and height are 2^32 - 1, that is -1 in 32 bits.
    static const Rect whole = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    static const StepCase cases[] = {
        {"R past INT32_MAX", farCorner, MOVE_RIGHT, 20, {INT32_MIN + 9, INT32_MIN + 5, 10, 15}},
        {"U past INT32_MIN", farCorner, MOVE_UP, 10, {INT32_MAX - 10, INT32_MAX - 4, 10, 15}},
        {"L to INT32_MAX - 20", farCorner, MOVE_LEFT, 10, {INT32_MAX - 20, INT32_MIN + 5, 10, 15}},
        {"L past INT32_MIN", whole, MOVE_LEFT, 1, {INT32_MAX, INT32_MIN, -1, -1}},
        {"D from INT32_MIN", whole, MOVE_DOWN, 1, {INT32_MIN, INT32_MIN + 1, -1, -1}},
        {"a width past INT32_MAX", {-100, 0, INT32_MAX, 10}, MOVE_UP, 0, {-100, 0, INT32_MIN + 99, 10}},
        {"an inverted rectangle", {100, 200, 50, 150}, MOVE_RIGHT, 1, {101, 200, -50, -50}},
    };
    ExpectPlans(PlanStepMove, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepResize, EachButtonChangesOneEdgeAndKeepsTheTopLeftCorner)
{
    static const StepCase cases[] = {
        {"Taller by 10", WINDOW, RESIZE_TALLER, 10, {100, 200, 640, 490}},
        {"Shorter by 10", WINDOW, RESIZE_SHORTER, 10, {100, 200, 640, 470}},
        {"Narrower by 10", WINDOW, RESIZE_NARROWER, 10, {100, 200, 630, 480}},
        {"Wider by 10", WINDOW, RESIZE_WIDER, 10, {100, 200, 650, 480}},
        {"Taller by 1", WINDOW, RESIZE_TALLER, 1, {100, 200, 640, 481}},
    };
    ExpectPlans(PlanStepResize, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepResize, CodesAreTallerShorterNarrowerWiderInThatOrder)
{
    EXPECT_EQ(RESIZE_TALLER, 1);
    EXPECT_EQ(RESIZE_SHORTER, 2);
    EXPECT_EQ(RESIZE_NARROWER, 3);
    EXPECT_EQ(RESIZE_WIDER, 4);
    // Unlike the move codes, 3 shrinks and 4 grows.
    static const StepCase cases[] = {
        {"code 1", WINDOW, 1, 5, {100, 200, 640, 485}},
        {"code 2", WINDOW, 2, 5, {100, 200, 640, 475}},
        {"code 3", WINDOW, 3, 5, {100, 200, 635, 480}},
        {"code 4", WINDOW, 4, 5, {100, 200, 645, 480}},
    };
    ExpectPlans(PlanStepResize, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepResize, SizesAreNotClampedAtZero)
{
    static const StepCase cases[] = {
        {"Shorter by 500 on 480", WINDOW, RESIZE_SHORTER, 500, {100, 200, 640, -20}},
        {"Shorter by exactly the height", WINDOW, RESIZE_SHORTER, 480, {100, 200, 640, 0}},
        {"Narrower by 700 on 640", WINDOW, RESIZE_NARROWER, 700, {100, 200, -60, 480}},
        {"Narrower by exactly the width", WINDOW, RESIZE_NARROWER, 640, {100, 200, 0, 480}},
    };
    ExpectPlans(PlanStepResize, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepResize, StepZeroLeavesThePlacementAsItWas)
{
    static const StepCase cases[] = {
        {"Taller by 0", WINDOW, RESIZE_TALLER, 0, {100, 200, 640, 480}},
        {"Shorter by 0", WINDOW, RESIZE_SHORTER, 0, {100, 200, 640, 480}},
        {"Narrower by 0", WINDOW, RESIZE_NARROWER, 0, {100, 200, 640, 480}},
        {"Wider by 0", WINDOW, RESIZE_WIDER, 0, {100, 200, 640, 480}},
    };
    ExpectPlans(PlanStepResize, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepResize, NegativeStepResizesTheOtherWay)
{
    static const StepCase cases[] = {
        {"Taller by -5", WINDOW, RESIZE_TALLER, -5, {100, 200, 640, 475}},
        {"Shorter by -5", WINDOW, RESIZE_SHORTER, -5, {100, 200, 640, 485}},
        {"Narrower by -5", WINDOW, RESIZE_NARROWER, -5, {100, 200, 645, 480}},
        {"Wider by -5", WINDOW, RESIZE_WIDER, -5, {100, 200, 635, 480}},
    };
    ExpectPlans(PlanStepResize, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepResize, ExtremeStepsWrapAroundInThirtyTwoBits)
{
    static const StepCase cases[] = {
        {"Taller by INT32_MAX", WINDOW, RESIZE_TALLER, INT32_MAX, {100, 200, 640, -2147483169}},
        {"Shorter by INT32_MAX", WINDOW, RESIZE_SHORTER, INT32_MAX, {100, 200, 640, -2147483167}},
        {"Narrower by INT32_MAX", WINDOW, RESIZE_NARROWER, INT32_MAX, {100, 200, -2147483007, 480}},
        {"Wider by INT32_MAX", WINDOW, RESIZE_WIDER, INT32_MAX, {100, 200, -2147483009, 480}},
        {"Taller by INT32_MIN", WINDOW, RESIZE_TALLER, INT32_MIN, {100, 200, 640, -2147483168}},
        {"Shorter by INT32_MIN", WINDOW, RESIZE_SHORTER, INT32_MIN, {100, 200, 640, -2147483168}},
        {"Narrower by INT32_MIN", WINDOW, RESIZE_NARROWER, INT32_MIN, {100, 200, -2147483008, 480}},
        {"Wider by INT32_MIN", WINDOW, RESIZE_WIDER, INT32_MIN, {100, 200, -2147483008, 480}},
    };
    ExpectPlans(PlanStepResize, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepResize, WindowsAtTheEdgeOfTheCoordinateRangeWrapAround)
{
    static const Rect whole = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    static const Rect farCorner = {INT32_MAX - 10, INT32_MIN + 5, INT32_MAX, INT32_MIN + 20};
    static const StepCase cases[] = {
        {"Taller on a full-range window", whole, RESIZE_TALLER, 1, {INT32_MIN, INT32_MIN, -1, 0}},
        {"Wider on a full-range window", whole, RESIZE_WIDER, 2, {INT32_MIN, INT32_MIN, 1, -1}},
        {"Wider at the far corner", farCorner, RESIZE_WIDER, INT32_MAX, {INT32_MAX - 10, INT32_MIN + 5, INT32_MIN + 9, 15}},
        {"Shorter at the far corner", farCorner, RESIZE_SHORTER, INT32_MIN, {INT32_MAX - 10, INT32_MIN + 5, 10, INT32_MIN + 15}},
    };
    ExpectPlans(PlanStepResize, cases, sizeof cases / sizeof cases[0]);
}

TEST(StepGeometry, UnknownCodesChangeNothing)
{
    static const int16_t unknown[] = {0, 5, -1, 6, 100, INT16_MIN, INT16_MAX};
    for (int16_t code : unknown) {
        Placement p = {11, 22, 33, 44};
        EXPECT_FALSE(PlanStepMove(100, 200, 740, 680, code, 10, &p)) << "move code " << code;
        EXPECT_TRUE(p.x == 11 && p.y == 22 && p.width == 33 && p.height == 44) << "move code " << code;
        EXPECT_FALSE(PlanStepResize(100, 200, 740, 680, code, 10, &p)) << "resize code " << code;
        EXPECT_TRUE(p.x == 11 && p.y == 22 && p.width == 33 && p.height == 44) << "resize code " << code;
    }
}
