// The main window's program-wide state, all of it touched on the dialog thread only.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

// Written by WinMain first thing; read by WinMain to run the main dialog.
extern HINSTANCE appInstance;
// Written at WM_INITDIALOG, first thing; read by every access to the list and the
// detail texts. The worker is given it when it starts.
extern HWND mainDialog;
// Written from the list's selection by the list handler and every command on the
// selected window; read by the same commands. A rebuild leaves it alone.
extern int32_t selectedIndex;
// The window whose name, status and geometry the details show; null until a row has
// been looked at. Written by every showing of the details; read after each rebuild.
extern HWND detailsWindow;
// The window of the row a command was given when that row no longer named its entry's
// window; written by that command, read and cleared by the rebuild it asked for, which
// selects that window's row again.
extern HWND reselectWindow;
// 1 once closing has freed the catalogue; 0 after every rebuild. The list handler
// does nothing while it is 1.
extern int32_t catalogueInvalid;
// Written when the worker starts; the Win32 tests wait on it after a close.
extern HANDLE workerThread;
extern unsigned workerThreadId;
// A show-state command builds a new display title here and releases it before it ends.
extern std::unique_ptr<char[]> scratchTitle;
