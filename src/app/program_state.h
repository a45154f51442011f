// The main window's program-wide state. Everything here is touched on the dialog
// thread only, except mainDialog, which the auto-refresh worker also reads.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

// Written by WinMain first thing; read by WinMain to run the main dialog.
extern HINSTANCE appInstance;
// Written at WM_INITDIALOG before the worker starts; read by the worker and by every
// access to the list and the detail texts.
extern std::atomic<HWND> mainDialog;
// Written from the list's selection by the list handler and every command on the
// selected window; read by the same commands. A rebuild leaves it alone.
extern int32_t selectedIndex;
// 1 once closing has freed the catalogue; 0 after every rebuild. The list handler
// does nothing while it is 1.
extern int32_t catalogueInvalid;
// Written when the worker starts; never used afterwards.
extern HANDLE workerThread;
extern unsigned workerThreadId;
// A show-state command builds a new display title here and releases it before it ends.
extern std::unique_ptr<char[]> scratchTitle;

HWND MainDialogHandle();
