// The worker only reads two settings and mainDialog, sends WMU_REFRESH synchronously
// and pauses; the rebuild itself runs on the dialog thread.
#include "auto_refresh.h"

#include <windows.h>
#include <process.h>

#include "../app/program_state.h"
#include "../app/user_settings.h"
#include "../platform/window_system.h"
#include "refresh_pause.h"

namespace {

// Set when the main dialog closes. The pause waits on it instead of sleeping, so a
// worker of a dialog that has ended stops at once rather than sending into the void.
HANDLE workerStop;

}  // namespace

unsigned __stdcall AutoRefreshThread(void* settingsRecord)
{
    const SettingsRecord* settings = static_cast<const SettingsRecord*>(settingsRecord);
    HANDLE stop = workerStop;
    for (;;) {
        DWORD pause = DEFAULT_REFRESH_PAUSE_MS;
        if (settings->GetAutoRefresh() == 1) {
            SendRefresh(MainDialogHandle());
            // Read after the rebuild, so a new interval counts from this pause on.
            pause = RefreshPause(settings->GetRefreshInterval());
        }
        DWORD waited = WaitForSingleObject(stop, pause);
        if (waited == WAIT_OBJECT_0)
            return 0;
        if (waited == WAIT_FAILED)  // no stop event could be made: pause all the same
            Sleep(pause);
    }
}

void StartAutoRefreshWorker()
{
    workerStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    workerThread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, AutoRefreshThread, &UserSettings, 0, &workerThreadId));
}

void StopAutoRefreshWorker()
{
    if (workerStop)
        SetEvent(workerStop);
}
