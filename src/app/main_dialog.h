// The main dialog: start-up, closing, command dispatch and the refresh request.
#pragma once
#include <windows.h>

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
