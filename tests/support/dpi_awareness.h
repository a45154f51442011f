// Per-monitor DPI awareness for the test programs, which Tarnavel's manifest declares
// for the exe: a program that is not aware reads scaled positions of other programs'
// windows, and its numbers would not be the ones Tarnavel shows and sets.
#pragma once
#include <windows.h>

// Declares it with the newest call this Windows has: per-monitor v2 (Windows 10 1703),
// else per-monitor (8.1), else system-wide (Vista and 7, which know no other). Call it
// first in main, before any window is made. False when it was refused, as it is when
// the program's manifest has declared the awareness already.
bool DeclarePerMonitorDpiAwareness();

// The DPI at which the system shows the window, or 0 where it cannot say (before
// Windows 10 1607).
UINT WindowDpi(HWND window);
// The window's rectangle as a program that is not DPI aware sees it, read on this
// thread made unaware for the while. False where the system has no such call (before
// Windows 10 1607) or no such window.
bool ReadRectAsUnaware(HWND window, RECT* rect);
