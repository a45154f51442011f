// The auto-refresh worker: a thread that asks the main dialog to rebuild its list
// every refresh interval while auto refresh is on.
#pragma once
#include <windows.h>

#include "user_settings.h"

// The thread procedure; its argument is what StartAutoRefreshWorker gives it.
unsigned __stdcall AutoRefreshThread(void* start);

// Starts the worker for dialog, reading settings afresh on every cycle. Returns the
// thread's handle (null when it could not start) and its identifier in *threadId.
HANDLE StartAutoRefreshWorker(HWND dialog, const SettingsRecord* settings, unsigned* threadId);
// Tells the worker to end at its next pause. Nothing waits for it: it may be inside a
// send to the dialog thread, and the process ends it anyway.
void StopAutoRefreshWorker();
