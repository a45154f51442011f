// The auto-refresh worker: a thread that asks the main dialog to rebuild its list
// every refresh interval while auto refresh is on.
#pragma once

unsigned __stdcall AutoRefreshThread(void* settings);

// Starts the worker with the settings record; called once the main dialog is known.
void StartAutoRefreshWorker();
// Tells the worker to end at its next pause. Nothing waits for it: it may be inside a
// send to the dialog thread, and the process ends it anyway.
void StopAutoRefreshWorker();
