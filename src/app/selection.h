// The selected window's details, and the commands that act on the selected window.
#pragma once
#include <windows.h>

#include <cstdint>

#include "../catalogue/window_entry.h"

// Reads the list's current row into selectedIndex and returns its entry, or null
// when no row is selected or the row no longer names its entry's window (then the
// command does nothing at all).
WindowEntry* ReadSelection(HWND dialog);

void ShowGeometryFields(HWND dialog, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Where window stands, or, minimized, where it comes back to, into the geometry fields;
// the fields stay as they are when the window is gone and has no rectangle.
void ShowWindowGeometry(HWND dialog, HWND window);
void ShowEntryDetails(const WindowEntry& entry);

void OnListNotification(HWND dialog);
// After a rebuild: the details follow the selected row when it shows another window.
void FollowSelectionAfterRebuild(HWND dialog);
void HideSelectedWindow(HWND dialog);
void RestoreSelectedWindow(HWND dialog);
void MinimizeSelectedWindow(HWND dialog);
void MaximizeSelectedWindow(HWND dialog);
void SetSelectedWindowPosition(HWND dialog);

// Step move and resize of the selected window.
void StepMoveWindow(HWND dialog, const WindowEntry& entry, int16_t direction, int32_t step);
void StepResizeWindow(HWND dialog, const WindowEntry& entry, int16_t direction, int32_t step);
void StepMoveSelectedWindow(HWND dialog, int16_t direction);
void StepResizeSelectedWindow(HWND dialog, int16_t direction);
