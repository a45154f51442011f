// How long the auto-refresh worker waits between rebuilds, for the interval typed in.
#include <gtest/gtest.h>

#include <cstdint>

#include "settings/refresh_pause.h"

TEST(RefreshPause, DefaultIsOneSecond)
{
    EXPECT_EQ(DEFAULT_REFRESH_PAUSE_MS, 1000u);
}

TEST(RefreshPause, PositiveIntervalIsWaitedExactly)
{
    EXPECT_EQ(RefreshPause(1), 1u);
    EXPECT_EQ(RefreshPause(300), 300u);
    EXPECT_EQ(RefreshPause(1000), 1000u);
    EXPECT_EQ(RefreshPause(INT32_MAX), 2147483647u);
}

TEST(RefreshPause, ZeroIntervalWaitsTheDefaultInsteadOfSpinning)
{
    EXPECT_EQ(RefreshPause(0), DEFAULT_REFRESH_PAUSE_MS);
}

TEST(RefreshPause, NegativeIntervalWaitsTheDefaultInsteadOfForEver)
{
    // -1 read as unsigned would be INFINITE.
    EXPECT_EQ(RefreshPause(-1), DEFAULT_REFRESH_PAUSE_MS);
    EXPECT_EQ(RefreshPause(-1000), DEFAULT_REFRESH_PAUSE_MS);
    EXPECT_EQ(RefreshPause(INT32_MIN), DEFAULT_REFRESH_PAUSE_MS);
}
