// Frame plans of the animations; 64-bit intermediates so no height can overflow.
#include "animation_plan.h"

int32_t OpeningFrameCount(int32_t height)
{
    if (height <= 0)
        return 0;
    return static_cast<int32_t>((static_cast<int64_t>(height) + ANIMATION_STEP - 1) / ANIMATION_STEP);
}

int32_t OpeningFrameHeight(int32_t frame)
{
    return static_cast<int32_t>(static_cast<int64_t>(frame) * ANIMATION_STEP);
}

int32_t ClosingFrameCount(int32_t height)
{
    if (height < 0)
        return 0;
    return height / ANIMATION_STEP + 1;
}

int32_t ClosingFrameSide(int32_t height, int32_t frame)
{
    return static_cast<int32_t>(height - static_cast<int64_t>(frame) * ANIMATION_STEP);
}
