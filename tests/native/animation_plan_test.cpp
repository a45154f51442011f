// The frames the main dialog shows while it opens and closes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/animation_plan.h"

namespace {

// The heights the opening animation draws for a dialog of the given height, in order.
std::vector<int32_t> OpeningFrames(int32_t height)
{
    std::vector<int32_t> frames;
    int32_t count = OpeningFrameCount(height);
    for (int32_t frame = 0; frame < count; ++frame)
        frames.push_back(OpeningFrameHeight(frame));
    return frames;
}

// The sides of the squares the closing animation draws, in order.
std::vector<int32_t> ClosingFrames(int32_t height)
{
    std::vector<int32_t> frames;
    int32_t count = ClosingFrameCount(height);
    for (int32_t frame = 0; frame < count; ++frame)
        frames.push_back(ClosingFrameSide(height, frame));
    return frames;
}

using Frames = std::vector<int32_t>;

}  // namespace

TEST(OpeningAnimation, GrowsInStepsOfEightStoppingShortOfTheFullHeight)
{
    EXPECT_EQ(OpeningFrames(20), (Frames{0, 8, 16}));
    EXPECT_EQ(OpeningFrames(16), (Frames{0, 8}));
    EXPECT_EQ(OpeningFrames(17), (Frames{0, 8, 16}));
    EXPECT_EQ(OpeningFrames(9), (Frames{0, 8}));
    EXPECT_EQ(OpeningFrames(8), (Frames{0}));
    EXPECT_EQ(OpeningFrames(1), (Frames{0}));
}

TEST(OpeningAnimation, DialogWithoutHeightDrawsNoFrame)
{
    EXPECT_EQ(OpeningFrames(0), Frames{});
    EXPECT_EQ(OpeningFrames(-1), Frames{});
    EXPECT_EQ(OpeningFrames(-20), Frames{});
    EXPECT_EQ(OpeningFrameCount(INT32_MIN), 0);
}

TEST(OpeningAnimation, TallestPossibleDialogDoesNotOverflow)
{
    // Frames 0, 8, ..., 2^31 - 8: 2^28 of them, each still below the height.
    EXPECT_EQ(OpeningFrameCount(INT32_MAX), 1 << 28);
    EXPECT_EQ(OpeningFrameHeight(0), 0);
    EXPECT_EQ(OpeningFrameHeight((1 << 28) - 1), INT32_MAX - 7);
    // A height of exactly 2^31 - 8 stops one frame earlier.
    EXPECT_EQ(OpeningFrameCount(INT32_MAX - 6), 1 << 28);
    EXPECT_EQ(OpeningFrameCount(INT32_MAX - 7), (1 << 28) - 1);
}

TEST(ClosingAnimation, ShrinksInStepsOfEightDownToTheRemainder)
{
    EXPECT_EQ(ClosingFrames(20), (Frames{20, 12, 4}));
    EXPECT_EQ(ClosingFrames(16), (Frames{16, 8, 0}));
    EXPECT_EQ(ClosingFrames(7), (Frames{7}));
    EXPECT_EQ(ClosingFrames(8), (Frames{8, 0}));
    EXPECT_EQ(ClosingFrames(1), (Frames{1}));
}

TEST(ClosingAnimation, DialogOfHeightZeroStillDrawsOneEmptySquare)
{
    EXPECT_EQ(ClosingFrames(0), (Frames{0}));
}

TEST(ClosingAnimation, NegativeHeightDrawsNoFrame)
{
    EXPECT_EQ(ClosingFrames(-1), Frames{});
    EXPECT_EQ(ClosingFrames(-16), Frames{});
    EXPECT_EQ(ClosingFrameCount(INT32_MIN), 0);
}

TEST(ClosingAnimation, TallestPossibleDialogDoesNotOverflow)
{
    // Sides 2^31 - 1, 2^31 - 9, ..., 7: 2^28 of them.
    int32_t count = ClosingFrameCount(INT32_MAX);
    EXPECT_EQ(count, 1 << 28);
    EXPECT_EQ(ClosingFrameSide(INT32_MAX, 0), INT32_MAX);
    EXPECT_EQ(ClosingFrameSide(INT32_MAX, 1), INT32_MAX - 8);
    EXPECT_EQ(ClosingFrameSide(INT32_MAX, count - 1), 7);
}
