// Showing and placing windows, with a bound on how long any other program can hold us,
// and the one place that knows window states: where a window stands or comes back to,
// and putting one, shown normally, where it is asked to be.
//
// ShowWindow and SetWindowPos on another thread's window wait for that thread for as
// long as its handlers take, and a probe that it answers says nothing about the next
// call. So such a call is made on a helper thread of its own, and the caller waits for
// it at most REQUEST_BOUND_MS, answering only the messages that other threads send it
// meanwhile (the target's activation of our dialog among them). A call that outlasts the
// bound is left to finish on its helper, which is never ended from outside.
#pragma once
#include <windows.h>

#include <cstdint>

constexpr DWORD REQUEST_BOUND_MS = 250;

// Each returns true when the window system has returned: read back what the window did.
// False means the request is still under way and takes effect when the window's program
// gets to it, or that none was made because an earlier one to that window still is, so
// that clicks on a slow window do not pile up behind it. A window that is gone, or our
// own, is called directly.
bool ShowWindowAs(HWND window, int showCommand);
// Restores the window; one whose rectangle then meets no monitor goes into the nearest
// monitor's work area, keeping its size where that fits. One partly on a screen stays.
bool RestoreOntoScreen(HWND window);
// The two placements put the window, shown normally, where they are asked: a minimized
// or maximized window leaves that state first, without being activated, within the same
// bound; a hidden one that PlaceNotTopmost leaves hidden keeps its state.
// PlaceAtBottomAndShow moves and sizes at the bottom of the stacking order, and shows
// the window.
bool PlaceAtBottomAndShow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height);
// Moves and sizes, ending any always-on-top state, without activating the window, within
// the bound of the command that began at start (a GetTickCount).
bool PlaceNotTopmost(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, DWORD start);
// A shown window that is minimized comes back, not activated, to where it is shown
// again, within the bound of the command that began at start; any other is left alone.
// A step starts from there: not every system says where another program's minimized
// window comes back (Wine answers with the icon's rectangle).
bool BringBackIfMinimized(HWND window, DWORD start);

// Where the window stands on the screen, or, minimized, where it comes back to when
// shown normally, in screen pixels; where the system answers only with a minimized
// window's icon, the icon's rectangle. False when there is none (the window is gone).
bool ReadWindowPlace(HWND window, RECT* rect);
// Waits for a request to window still under way, within the bound of the command that
// began at start. False when it still is. A step that read the rectangle before that
// request landed would aim where the window was, and two clicks would move it once.
bool WaitForRequestUnderWay(HWND window, DWORD start);

// Before the program ends: each request still under way is queued for its window's own
// thread, which carries it out when it gets to it. On Windows the call runs on its
// helper thread, and ending the process would end it midway. A window that was about to
// finish the helper's call anyway (and under Wine, where that call is already a queued
// message, every one) does as asked twice: harmless, for every request shows or places
// absolutely.
void HandOverRequestsUnderWay();
