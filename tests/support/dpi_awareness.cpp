// See dpi_awareness.h. Each call is looked up, so that the programs still start on the
// older systems that lack it; the headers, pinned to Windows 7, declare none of them.
#include "dpi_awareness.h"

#include <windows.h>

namespace {

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and PROCESS_PER_MONITOR_DPI_AWARE.
const HANDLE PER_MONITOR_AWARE_V2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const int PROCESS_PER_MONITOR_AWARE = 2;

using AnyFunction = void (*)();
using SetContext = BOOL(WINAPI*)(HANDLE);
using SetAwareness = HRESULT(WINAPI*)(int);
using SetThreadAwareness = HANDLE(WINAPI*)(HANDLE);
using GetWindowDpi = UINT(WINAPI*)(HWND);
// DPI_AWARENESS_CONTEXT_UNAWARE.
const HANDLE UNAWARE = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));

AnyFunction Find(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<AnyFunction>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace

bool DeclarePerMonitorDpiAwareness()
{
    // Only a missing call falls through to the older one: a refusal means the process
    // is aware already, and the older call would be refused too, or make it less so.
    if (auto setContext = reinterpret_cast<SetContext>(Find(GetModuleHandleW(L"user32.dll"),
                                                            "SetProcessDpiAwarenessContext")))
        return setContext(PER_MONITOR_AWARE_V2) != FALSE;
    if (auto setAwareness = reinterpret_cast<SetAwareness>(Find(LoadLibraryW(L"shcore.dll"),
                                                                "SetProcessDpiAwareness")))
        return SUCCEEDED(setAwareness(PROCESS_PER_MONITOR_AWARE));
    return SetProcessDPIAware() != FALSE;
}

UINT WindowDpi(HWND window)
{
    auto windowDpi = reinterpret_cast<GetWindowDpi>(Find(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow"));
    return windowDpi ? windowDpi(window) : 0;
}

bool ReadRectAsUnaware(HWND window, RECT* rect)
{
    auto setContext = reinterpret_cast<SetThreadAwareness>(Find(GetModuleHandleW(L"user32.dll"),
                                                              "SetThreadDpiAwarenessContext"));
    HANDLE before = setContext ? setContext(UNAWARE) : nullptr;
    if (!before)
        return false;
    bool read = GetWindowRect(window, rect) != FALSE;
    setContext(before);
    return read;
}
