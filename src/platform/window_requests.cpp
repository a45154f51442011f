// Requests to show or place a window, each bounded in time; see window_requests.h.
#include "window_requests.h"

#include <process.h>

#include "placement_geometry.h"
#include "window_system.h"

namespace {

enum RequestKind {
    SHOW,                 // ShowWindow with showCommand
    PLACE,                // SetWindowPos, shown normally first where the request says so
    RESTORE_ONTO_SCREEN,  // ShowWindow with SW_RESTORE, then onto a screen if it is off every one
};

struct WindowRequest {
    HWND window;
    RequestKind kind;
    int showCommand;
    HWND insertAfter;
    int32_t x, y, width, height;
    UINT flags;
};

Box BoxOf(const RECT& rect)
{
    return Box{rect.left, rect.top, rect.right, rect.bottom};
}

// Queued, the call is left in the window's own thread's queue instead of being made
// there and then.
void Show(HWND window, int showCommand, bool queued)
{
    if (queued)
        ShowWindowAsync(window, showCommand);
    else
        ShowWindow(window, showCommand);
}

void SetPlacement(HWND window, HWND insertAfter, int32_t x, int32_t y, int32_t width, int32_t height, UINT flags,
                  bool queued)
{
    SetWindowPos(window, insertAfter, x, y, width, height, flags | (queued ? SWP_ASYNCWINDOWPOS : 0));
}

// A minimized window's rectangle is its icon's, and a maximized window stays maximized
// whatever SetWindowPos asks, so either is shown normally first, without activating it:
// one that is shown, or that the placement shows anyway. A minimized window that was
// maximized before may come back maximized, hence a second call.
void ShowNormallyBeforePlacing(const WindowRequest& request, bool queued)
{
    HWND window = request.window;
    for (int call = 0; call < 2; ++call) {
        bool minOrMax = IsIconic(window) || IsZoomed(window);
        if (!minOrMax || !(IsWindowVisible(window) || (request.flags & SWP_SHOWWINDOW)))
            return;
        Show(window, SW_SHOWNOACTIVATE, queued);
    }
}

// Where a minimized window comes back to when shown normally, in screen pixels. False
// where the system answers with the icon's own rectangle, as Wine does for another
// process's window: it does not say. Both are compared as the system gives them.
bool ReadComeBackRect(HWND window, RECT* rect)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    RECT icon;
    if (!GetWindowPlacement(window, &placement) || !GetWindowRect(window, &icon)
        || EqualRect(&placement.rcNormalPosition, &icon))
        return false;
    Box box = BoxOf(placement.rcNormalPosition);
    // A tool window's placement is in screen pixels already; any other's starts at the
    // corner of the work area of the monitor it comes back on, which for a minimized
    // window is the one that MonitorFromWindow finds.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
        && GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        box = WorkspaceToScreen(box, BoxOf(monitor.rcWork), BoxOf(monitor.rcMonitor));
    *rect = RECT{box.left, box.top, box.right, box.bottom};
    return true;
}

// The window system restores a window to its last place, on a monitor or not: one
// whose rectangle meets no monitor is moved into the nearest monitor's work area.
// Queued, the window has not been restored yet, and is read where the restore shows it.
void BringOntoScreen(HWND window, bool queued)
{
    RECT rect;
    bool read = IsIconic(window) ? ReadComeBackRect(window, &rect) : ReadWindowRect(window, &rect);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!read || MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)
        || !GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    Box fitted = FitIntoWorkArea(BoxOf(rect), BoxOf(monitor.rcWork));
    SetPlacement(window, nullptr, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top,
                 SWP_NOZORDER | SWP_NOACTIVATE, queued);
}

void CarryOut(const WindowRequest& request, bool queued = false)
{
    switch (request.kind) {
    case SHOW:
        Show(request.window, request.showCommand, queued);
        break;
    case PLACE:
        ShowNormallyBeforePlacing(request, queued);
        SetPlacement(request.window, request.insertAfter, request.x, request.y, request.width, request.height,
                     request.flags, queued);
        break;
    case RESTORE_ONTO_SCREEN:
        Show(request.window, request.showCommand, queued);
        BringOntoScreen(request.window, queued);
        break;
    }
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
    return Request(WindowRequest{window, PLACE, 0, insertAfter, x, y, width, height, flags}, start);
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
    return Request(WindowRequest{window, SHOW, showCommand, nullptr, 0, 0, 0, 0, 0}, GetTickCount());
}

bool RestoreOntoScreen(HWND window)
{
    return Request(WindowRequest{window, RESTORE_ONTO_SCREEN, SW_RESTORE, nullptr, 0, 0, 0, 0, 0}, GetTickCount());
}

bool BringBackIfMinimized(HWND window, DWORD start)
{
    if (!IsIconic(window) || !IsWindowVisible(window))
        return true;
    return Request(WindowRequest{window, SHOW, SW_SHOWNOACTIVATE, nullptr, 0, 0, 0, 0, 0}, start);
}

bool ReadWindowPlace(HWND window, RECT* rect)
{
    return (IsIconic(window) && ReadComeBackRect(window, rect)) || ReadWindowRect(window, rect);
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
