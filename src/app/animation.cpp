// Each frame is one placement at the bottom of the stacking order, then a 1 ms pause.
// The rectangle is read once: the frames change it. The dialog is this thread's own
// window, so every frame is placed there and then.
#include "animation.h"

#include <mmsystem.h>

#include "../platform/window_requests.h"
#include "../platform/window_system.h"
#include "animation_plan.h"

namespace {

using SetInformation = BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);

// Looked up: Windows 7 has no such function. Null where it is missing.
SetInformation FindSetProcessInformation()
{
    using AnyFunction = void (*)();
    return reinterpret_cast<SetInformation>(reinterpret_cast<AnyFunction>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetProcessInformation")));
}

// A flag set in the control mask and clear in the state mask says: never throttle this;
// both masks empty hand the choice back to the system.
bool SetTimerThrottling(SetInformation setInformation, ULONG controlMask)
{
    PROCESS_POWER_THROTTLING_STATE state = {PROCESS_POWER_THROTTLING_CURRENT_VERSION, controlMask, 0};
    return setInformation && setInformation(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state);
}

// On Windows 10 and 11 Sleep(1) lasts a whole timer tick, 15.6 ms, unless the process
// asks for 1 ms: a 390-pixel dialog would take 0.8 s each way. The finer rate costs
// power, so it is asked for only while the frames play. Windows 11 may ignore the ask
// in a process with no window in sight, and each frame puts the dialog at the bottom,
// under every other window: so the process also asks that its resolution be honoured
// whatever is in sight. Older systems lack the call or refuse the flag, and the frames
// play as before.
struct MillisecondFrames {
    MillisecondFrames()
        : granted(timeBeginPeriod(1) == TIMERR_NOERROR),
          setInformation(FindSetProcessInformation()),
          unthrottled(granted
                      && SetTimerThrottling(setInformation, PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION))
    {
    }
    ~MillisecondFrames()
    {
        // Nothing else in Tarnavel sets it, so the system's own choice is what it was.
        if (unthrottled)
            SetTimerThrottling(setInformation, 0);
        if (granted)
            timeEndPeriod(1);
    }
    bool granted;
    SetInformation setInformation;
    bool unthrottled;
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
