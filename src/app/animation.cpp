// Each frame is one placement at the bottom of the stacking order, then a 1 ms pause.
// The rectangle is read once: the frames change it. The dialog is this thread's own
// window, so every frame is placed there and then.
#include "animation.h"

#include <mmsystem.h>

#include "../platform/window_requests.h"
#include "../platform/window_system.h"
#include "animation_plan.h"

namespace {

// On Windows 10 and 11 Sleep(1) lasts a whole timer tick, 15.6 ms, unless the process
// asks for 1 ms: a 390-pixel dialog would take 0.8 s each way. The finer rate costs
// power, so it is asked for only while the frames play.
struct MillisecondFrames {
    MillisecondFrames() : granted(timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~MillisecondFrames()
    {
        if (granted)
            timeEndPeriod(1);
    }
    bool granted;
};

}  // namespace

void PlayOpeningAnimation(HWND dialog)
{
    RECT rect;
    if (!ReadWindowRect(dialog, &rect))
        return;
    int32_t width = rect.right - rect.left;
    int32_t frames = OpeningFrameCount(rect.bottom - rect.top);
    MillisecondFrames timer;
    for (int32_t frame = 0; frame < frames; ++frame) {
        PlaceAtBottomAndShow(dialog, rect.left, rect.top, width, OpeningFrameHeight(frame));
        Sleep(1);
    }
}

void PlayClosingAnimation(HWND dialog)
{
    RECT rect;
    if (!ReadWindowRect(dialog, &rect))
        return;
    int32_t height = rect.bottom - rect.top;
    int32_t frames = ClosingFrameCount(height);
    MillisecondFrames timer;
    for (int32_t frame = 0; frame < frames; ++frame) {
        int32_t side = ClosingFrameSide(height, frame);
        PlaceAtBottomAndShow(dialog, rect.left, rect.top, side, side);
        Sleep(1);
    }
}
