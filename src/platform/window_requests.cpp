// Requests to show or place a window, each bounded in time; see window_requests.h.
#include "window_requests.h"

#include <process.h>

namespace {

// One call to ShowWindow (place false) or SetWindowPos (place true).
struct WindowRequest {
    HWND window;
    bool place;
    int showCommand;
    HWND insertAfter;
    int32_t x, y, width, height;
    UINT flags;
};

// Queued, the request is left in the window's own thread's queue instead of being
// made there and then.
void CarryOut(const WindowRequest& request, bool queued = false)
{
    if (request.place)
        SetWindowPos(request.window, request.insertAfter, request.x, request.y, request.width, request.height,
                     request.flags | (queued ? SWP_ASYNCWINDOWPOS : 0));
    else if (queued)
        ShowWindowAsync(request.window, request.showCommand);
    else
        ShowWindow(request.window, request.showCommand);
}

// Requests whose helper thread may still be running. Slots are filled and freed on the
// dialog thread only, and a slot is freed only once its helper has ended: the helper
// reads its request and writes nothing. A slow program holds a slot for as long as it
// takes; more slow windows at once than there are slots get no request.
struct Helper {
    WindowRequest request;
    HANDLE thread;  // null when the slot is free
};
constexpr int HELPER_SLOTS = 64;
Helper helpers[HELPER_SLOTS];

unsigned __stdcall RunHelper(void* slot)
{
    CarryOut(static_cast<const Helper*>(slot)->request);
    return 0;
}

// Frees the slots of helpers that have ended: a slot still taken afterwards holds a
// request under way.
void FreeEndedHelpers()
{
    for (Helper& helper : helpers) {
        if (helper.thread && WaitForSingleObject(helper.thread, 0) == WAIT_OBJECT_0) {
            CloseHandle(helper.thread);
            helper.thread = nullptr;
        }
    }
}

// Finds the helper still serving window, if there is one, and a free slot, if there is one.
void SurveyHelpers(HWND window, Helper** serving, Helper** free)
{
    FreeEndedHelpers();
    *serving = *free = nullptr;
    for (Helper& helper : helpers) {
        if (helper.thread && helper.request.window == window)
            *serving = &helper;
        if (!helper.thread && !*free)
            *free = &helper;
    }
}

// Waits until thread ends, for at most timeoutMs. Meanwhile only messages that other
// threads send are handled: the target may send to our dialog and wait for the answer,
// while posted messages and input would start another command in the middle of this one.
bool WaitAnsweringSent(HANDLE thread, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        DWORD woke = MsgWaitForMultipleObjectsEx(1, &thread, timeoutMs - elapsed, QS_SENDMESSAGE, 0);
        if (woke == WAIT_OBJECT_0)
            return true;
        if (woke != WAIT_OBJECT_0 + 1 && woke != WAIT_TIMEOUT)
            return false;
    }
}

// What is left of the bound of a command that began at start.
DWORD RemainingBound(DWORD start)
{
    DWORD elapsed = GetTickCount() - start;
    return elapsed < REQUEST_BOUND_MS ? REQUEST_BOUND_MS - elapsed : 0;
}

bool Request(const WindowRequest& request, DWORD start)
{
    // A window that is gone fails at once, and our own windows are handled right here:
    // neither has another thread to wait for.
    if (!IsWindow(request.window) || GetWindowThreadProcessId(request.window, nullptr) == GetCurrentThreadId()) {
        CarryOut(request);
        return true;
    }
    if (!WaitForRequestUnderWay(request.window, start))
        return false;
    Helper* serving;
    Helper* slot;
    SurveyHelpers(request.window, &serving, &slot);
    if (!slot)
        return false;
    slot->request = request;
    slot->thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunHelper, slot, 0, nullptr));
    if (!slot->thread)
        return false;
    if (!WaitAnsweringSent(slot->thread, RemainingBound(start)))
        return false;
    CloseHandle(slot->thread);
    slot->thread = nullptr;
    return true;
}

bool Place(HWND window, HWND insertAfter, int32_t x, int32_t y, int32_t width, int32_t height, UINT flags,
           DWORD start)
{
    return Request(WindowRequest{window, true, 0, insertAfter, x, y, width, height, flags}, start);
}

}  // namespace

// An earlier request still under way is waited for within the command's bound: a click
// just after a slow window caught up goes ahead, and none piles up behind one that has
// not.
bool WaitForRequestUnderWay(HWND window, DWORD start)
{
    Helper* serving;
    Helper* free;
    SurveyHelpers(window, &serving, &free);
    return !serving || WaitAnsweringSent(serving->thread, RemainingBound(start));
}

bool ShowWindowAs(HWND window, int showCommand)
{
    return Request(WindowRequest{window, false, showCommand, nullptr, 0, 0, 0, 0, 0}, GetTickCount());
}

bool PlaceAtBottomAndShow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height)
{
    return Place(window, HWND_BOTTOM, x, y, width, height, SWP_SHOWWINDOW, GetTickCount());
}

bool PlaceNotTopmost(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, DWORD start)
{
    return Place(window, HWND_NOTOPMOST, x, y, width, height, SWP_NOACTIVATE, start);
}

void HandOverRequestsUnderWay()
{
    FreeEndedHelpers();
    for (const Helper& helper : helpers)
        if (helper.thread)
            CarryOut(helper.request, true);
}
