// The opening and closing animations, recorded as the placements the window receives.
#include "harness.h"

#include <vector>

#include "app/animation.h"

namespace {

std::vector<WINDOWPOS> recorded;
HWND recordedWindow;
PROCESS_POWER_THROTTLING_STATE throttlingAtAFrame;

// Wine does not report it, nor does every Windows.
bool QueryThrottling(PROCESS_POWER_THROTTLING_STATE* state)
{
    auto query = reinterpret_cast<BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD)>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessInformation")));
    *state = {PROCESS_POWER_THROTTLING_CURRENT_VERSION, 0, 0};
    return query && query(GetCurrentProcess(), ProcessPowerThrottling, state, sizeof *state);
}

// A thread hook sees the placement requests of windows whose procedure the test does
// not own, such as the main dialog while it initialises.
LRESULT CALLBACK RecordPlacements(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGING) {
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(call->lParam);
        if (pos->hwndInsertAfter == HWND_BOTTOM && (recordedWindow == nullptr || call->hwnd == recordedWindow)) {
            recorded.push_back(*pos);
            QueryThrottling(&throttlingAtAFrame);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct PlacementRecorder {
    explicit PlacementRecorder(HWND window)
    {
        recorded.clear();
        throttlingAtAFrame = {};
        recordedWindow = window;
        hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordPlacements, nullptr, GetCurrentThreadId());
    }
    ~PlacementRecorder() { UnhookWindowsHookEx(hook); }
    HHOOK hook;
};

struct Frame {
    int x, y, width, height;
};

::testing::AssertionResult FramesAre(const std::vector<Frame>& expected)
{
    if (recorded.size() != expected.size())
        return ::testing::AssertionFailure() << recorded.size() << " frames, expected " << expected.size();
    for (size_t i = 0; i < expected.size(); ++i) {
        const WINDOWPOS& got = recorded[i];
        const Frame& want = expected[i];
        if (got.x != want.x || got.y != want.y || got.cx != want.width || got.cy != want.height
            || !(got.flags & SWP_SHOWWINDOW) || (got.flags & (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER)))
            return ::testing::AssertionFailure() << "frame " << i << ": " << got.x << "," << got.y << " " << got.cx
                                                 << "x" << got.cy << " flags " << std::hex << got.flags;
    }
    return ::testing::AssertionSuccess();
}

// Sends a refresh to the dialog from another thread at one frame of its opening, and
// answers it there, as a window of another thread that the frame reaches would.
WindowThread* refresher;
int framesBeforeRefresh;

LRESULT CALLBACK RefreshAtAFrame(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGING
        && reinterpret_cast<const WINDOWPOS*>(call->lParam)->hwndInsertAfter == HWND_BOTTOM
        && framesBeforeRefresh-- == 0) {
        HWND dialog = call->hwnd;
        refresher->Run([dialog] { SendMessageA(dialog, WM_USER + 100, 0, 0); });
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A plain popup: an overlapped frame would be held to the system's minimum height.
HWND CreatePopup(int x, int y, int width, int height)
{
    return CreateWindowExA(0, "STATIC", "Animation popup", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(Animation, OpensInStepsOfEightBelowTheFullHeight)
{
    HWND twenty = CreatePopup(30, 40, 200, 20);
    HWND sixteen = CreatePopup(30, 90, 200, 16);
    {
        PlacementRecorder recorder(twenty);
        PlayOpeningAnimation(twenty);
        EXPECT_TRUE(FramesAre({{30, 40, 200, 0}, {30, 40, 200, 8}, {30, 40, 200, 16}}));
    }
    {
        PlacementRecorder recorder(sixteen);
        PlayOpeningAnimation(sixteen);
        EXPECT_TRUE(FramesAre({{30, 90, 200, 0}, {30, 90, 200, 8}}));
    }
    DestroyWindow(twenty);
    DestroyWindow(sixteen);
}

TEST(Animation, ClosesInSquaresOfItsHeightWhateverItsWidth)
{
    HWND twenty = CreatePopup(30, 40, 200, 20);
    HWND sixteen = CreatePopup(30, 90, 300, 16);
    {
        PlacementRecorder recorder(twenty);
        PlayClosingAnimation(twenty);
        EXPECT_TRUE(FramesAre({{30, 40, 20, 20}, {30, 40, 12, 12}, {30, 40, 4, 4}}));
    }
    {
        PlacementRecorder recorder(sixteen);
        PlayClosingAnimation(sixteen);
        EXPECT_TRUE(FramesAre({{30, 90, 16, 16}, {30, 90, 8, 8}, {30, 90, 0, 0}}));
    }
    DestroyWindow(twenty);
    DestroyWindow(sixteen);
}

TEST(Animation, TheMainDialogOpensAndClosesThroughItsFrames)
{
    std::vector<WINDOWPOS> opening;
    {
        PlacementRecorder recorder(nullptr);  // the dialog has no handle yet
        MainDialog dialog;
        opening = recorded;
        ASSERT_GT(opening.size(), 10u);
        for (size_t i = 0; i < opening.size(); ++i) {
            EXPECT_EQ(opening[i].cy, static_cast<int>(8 * i)) << "frame " << i;
            EXPECT_EQ(opening[i].x, opening[0].x);
            EXPECT_EQ(opening[i].y, opening[0].y);
            EXPECT_EQ(opening[i].cx, opening[0].cx);
        }
        RECT rect;
        GetWindowRect(dialog.Handle(), &rect);
        EXPECT_EQ(rect.bottom - rect.top, opening.back().cy) << "the dialog stays at the last frame's height";

        recorded.clear();
        recordedWindow = dialog.Handle();
        dialog.Close();
        int height = opening.back().cy;
        std::vector<Frame> squares;
        for (int side = height; side >= 0; side -= 8)
            squares.push_back({opening[0].x, opening[0].y, side, side});
        EXPECT_TRUE(FramesAre(squares));
    }
}

TEST(Animation, ARefreshDuringTheOpeningWaitsForTheFirstList)
{
    HWND fixture = CreateFixture("Listed at the opening", true);
    WindowThread thread;
    refresher = &thread;
    framesBeforeRefresh = 3;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RefreshAtAFrame, nullptr, GetCurrentThreadId());
    {
        MainDialog dialog;
        UnhookWindowsHookEx(hook);
        EXPECT_LT(framesBeforeRefresh, 0) << "no refresh was sent";
        EXPECT_TRUE(RowsMatchEntries(dialog));
    }
    DestroyWindow(fixture);
}

// Every frame puts the dialog under all others, where Windows 11 may let a process's
// 1 ms timer go unless the process said it must hold.
TEST(Animation, TheTimerResolutionMustHoldOnlyWhileTheFramesPlay)
{
    PROCESS_POWER_THROTTLING_STATE after;
    if (!QueryThrottling(&after))
        GTEST_SKIP() << "this system does not report a process's power throttling; the check runs where it does";
    HWND popup = CreatePopup(30, 40, 200, 20);
    PlacementRecorder recorder(popup);
    PlayOpeningAnimation(popup);
    QueryThrottling(&after);
    const ULONG ignore = PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION;
    EXPECT_EQ(throttlingAtAFrame.ControlMask & ~throttlingAtAFrame.StateMask & ignore, ignore)
        << "at a frame: control mask " << throttlingAtAFrame.ControlMask << ", state mask " << throttlingAtAFrame.StateMask;
    EXPECT_EQ(after.ControlMask, 0u) << "after the frames the system does not manage the timer again";
    DestroyWindow(popup);
}
