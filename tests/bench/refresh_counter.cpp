// refresh_counter.dll: the soak driver hooks Tarnavel's dialog thread with this
// procedure, which the window system then runs inside Tarnavel, to count the refresh
// messages Tarnavel's top-level windows receive. The count goes to a named shared
// page that the driver made for this process; nothing else is touched.
#include <windows.h>

#include <cwchar>

namespace {

const UINT WMU_REFRESH = WM_USER + 100;

// Laid out as the soak driver reads it.
struct SharedCounters {
    volatile LONG refreshes;
};

SharedCounters* counters;  // mapped on the first call, for the life of the process
bool mappingTried;

SharedCounters* Counters()
{
    if (!mappingTried) {
        mappingTried = true;
        wchar_t name[64];
        swprintf(name, 64, L"TarnavelSoakCounters-%lu", GetCurrentProcessId());
        HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
        if (mapping)
            counters = static_cast<SharedCounters*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(SharedCounters)));
    }
    return counters;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK CountRefreshes(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (sent->message == WMU_REFRESH && GetAncestor(sent->hwnd, GA_ROOT) == sent->hwnd) {
            SharedCounters* shared = Counters();
            if (shared)
                InterlockedIncrement(&shared->refreshes);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
