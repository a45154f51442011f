// The frames of the main dialog's opening and closing animations.
// Pure arithmetic, kept apart from the window calls so it can be tested natively.
#pragma once
#include <cstdint>

constexpr int32_t ANIMATION_STEP = 8;

// Opening: heights 0, 8, 16, ... strictly below the dialog's height.
int32_t OpeningFrameCount(int32_t height);
int32_t OpeningFrameHeight(int32_t frame);

// Closing: squares of side height, height - 8, ... down to height mod 8.
int32_t ClosingFrameCount(int32_t height);
int32_t ClosingFrameSide(int32_t height, int32_t frame);
