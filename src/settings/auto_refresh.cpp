// The worker only reads two settings, sends WMU_REFRESH synchronously to the dialog it
// was started for, and pauses; the rebuild itself runs on the dialog thread.
#include "auto_refresh.h"

#include <process.h>

#include <memory>
#include <new>

#include "../platform/window_system.h"
#include "refresh_pause.h"

namespace {

// What one worker needs, given to it whole when it starts: the dialog handle never
// changes afterwards, and the settings are read field by field on every cycle.
struct WorkerStart {
    HWND dialog;
    const SettingsRecord* settings;
    HANDLE stop;
};

// Set when the main dialog closes. The pause waits on it instead of sleeping, so a
// worker of a dialog that has ended stops at once rather than sending into the void.
HANDLE workerStop;

}  // namespace

unsigned __stdcall AutoRefreshThread(void* start)
{
    std::unique_ptr<WorkerStart> worker(static_cast<WorkerStart*>(start));
    for (;;) {
        DWORD pause = DEFAULT_REFRESH_PAUSE_MS;
        if (worker->settings->GetAutoRefresh() == 1) {
            SendRefresh(worker->dialog);
            // Read after the rebuild, so a new interval counts from this pause on.
            pause = RefreshPause(worker->settings->GetRefreshInterval());
        }
        DWORD waited = WaitForSingleObject(worker->stop, pause);
        if (waited == WAIT_OBJECT_0)
            return 0;
        if (waited == WAIT_FAILED)  // no stop event could be made: pause all the same
            Sleep(pause);
    }
}

HANDLE StartAutoRefreshWorker(HWND dialog, const SettingsRecord* settings, unsigned* threadId)
{
    workerStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::unique_ptr<WorkerStart> start(new (std::nothrow) WorkerStart{dialog, settings, workerStop});
    *threadId = 0;
    if (!start)
        return nullptr;
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, AutoRefreshThread, start.get(), 0, threadId));
    if (thread)
        start.release();  // the thread owns it now
    return thread;
}

void StopAutoRefreshWorker()
{
    if (workerStop)
        SetEvent(workerStop);
}
