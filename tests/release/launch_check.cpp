// launch_check.exe: starts Tarnavel as a user does, from its own folder, and reports
// whether its main dialog came up listing windows and then closed on WM_CLOSE, and how
// long each took. It does so twice: plainly, and under a maximized window of its own in
// front of every other, since Windows 11 may not grant the 1 ms timer that the closing
// frames ask for to a program that nobody can see. Prints one line for each start,
// saying what happened and which ceiling held the close; exit code 0 when all of that
// held both times, 1 otherwise.
//
//   launch_check <exe> [timeoutSeconds]
#include <windows.h>

#include <cwchar>
#include <string>

#include "dpi_awareness.h"
#include "fixture_windows.h"
#include "processes.h"
#include "text_output.h"
#include "waiting.h"

namespace {

const wchar_t MAIN_CAPTION[] = L"Tarnavel";
const int ID_WINDOW_LIST = 1001;
const UINT SEND_TIMEOUT_MS = 5000;
// What the loader reports when a DLL that the exe imports is nowhere to be found.
const DWORD DLL_NOT_FOUND = 0xC0000135;
// The closing animation is some fifty frames of 1 ms. Frames that each last a timer
// tick, as Sleep(1) does on Windows 10 and 11 unless the program asks for 1 ms, would
// take 0.8 s: this ceiling tells the two apart and leaves the rest to a slow machine.
const DWORD WINDOWS_CLOSE_CEILING_MS = 500;
// Under Wine Sleep(1) lasts 1 ms whatever the program asks, so the close's time says
// nothing of the frames there and a tight ceiling could only fail a busy machine: this
// one catches a close that waits without end.
const DWORD WINE_CLOSE_CEILING_MS = 5000;

struct Ceiling {
    DWORD ms;
    const char* where;
};

// Looked at when it runs rather than passed in, so that every caller, the release
// test under Wine and the workflow on Windows alike, gets the one that fits.
Ceiling CloseCeiling()
{
    // Only Wine's ntdll exports it.
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll && GetProcAddress(ntdll, "wine_get_version"))
        return {WINE_CLOSE_CEILING_MS, "under Wine"};
    return {WINDOWS_CLOSE_CEILING_MS, "on Windows"};
}

// The number of rows in the main dialog's list, or 0 while there is no dialog yet.
LRESULT ListedRows(DWORD processId, HWND& dialog)
{
    dialog = FindWindowOf(processId, MAIN_CAPTION);
    HWND list = dialog ? GetDlgItem(dialog, ID_WINDOW_LIST) : nullptr;
    DWORD_PTR rows = 0;
    if (!list || !SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, SEND_TIMEOUT_MS, &rows))
        return 0;
    return static_cast<LRESULT>(rows) == LB_ERR ? 0 : static_cast<LRESULT>(rows);
}

bool Ended(HANDLE process, const char* run, const char* when)
{
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    PrintLine("launch_check: %s: Tarnavel ended with code 0x%08lX %s%s", run, static_cast<unsigned long>(code), when,
              code == DLL_NOT_FOUND ? " (a DLL that it imports was not found)" : "");
    return false;
}

// The dialog lies wholly within the cover and behind it; when not, says how.
bool Covers(HWND cover, HWND dialog)
{
    RECT c, d, both;
    GetWindowRect(cover, &c);
    GetWindowRect(dialog, &d);
    UnionRect(&both, &c, &d);
    HWND behind = GetWindow(cover, GW_HWNDNEXT);
    while (behind && behind != dialog)
        behind = GetWindow(behind, GW_HWNDNEXT);
    if (EqualRect(&both, &c) && behind)
        return true;
    PrintLine("launch_check: covered: the main dialog, (%ld,%ld)-(%ld,%ld), is not wholly within and behind the "
              "covering window, (%ld,%ld)-(%ld,%ld)", d.left, d.top, d.right, d.bottom, c.left, c.top, c.right, c.bottom);
    return false;
}

// One start and close, under the cover when there is one; prints its line.
bool StartAndClose(const std::wstring& exe, DWORD timeoutMs, Ceiling ceiling, HWND cover)
{
    const char* run = cover ? "covered" : "plain";
    // From its own folder, as a double-click starts it: the DLLs found there are the
    // ones shipped beside it.
    std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        PrintLine("launch_check: %s: could not start it: error %lu", run, GetLastError());
        return false;
    }
    CloseHandle(process.hThread);

    // Every wait handles the cover's messages: Windows takes a window that has taken
    // none for five seconds for a hung one, and may put a ghost of it in its place.
    auto ended = [&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; };
    DWORD start = GetTickCount();
    HWND dialog = nullptr;
    LRESULT rows = 0;
    while ((rows = ListedRows(process.dwProcessId, dialog)) == 0) {
        if (GetTickCount() - start >= timeoutMs) {
            TerminateProcess(process.hProcess, 1);
            PrintLine("launch_check: %s: %s within %lu s", run,
                      dialog ? "the main dialog listed no windows" : "no main dialog", timeoutMs / 1000);
            return false;
        }
        // Wakes soon after the process ends; otherwise looks for the dialog again.
        if (PumpUntil(ended, 50))
            return Ended(process.hProcess, run, "before its main dialog appeared");
    }
    DWORD opened = GetTickCount() - start;
    if (cover && !Covers(cover, dialog)) {
        TerminateProcess(process.hProcess, 1);
        return false;
    }

    // Until the dialog is gone from the screen, not until the process has ended: under
    // Wine a process takes a while longer to end, which the program does not decide.
    DWORD closing = GetTickCount();
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    PumpUntil([&] { return !IsWindowVisible(dialog); }, timeoutMs);
    DWORD closed = GetTickCount() - closing;
    if (!PumpUntil(ended, timeoutMs)) {
        TerminateProcess(process.hProcess, 1);
        PrintLine("launch_check: %s: the main dialog was still open %lu s after WM_CLOSE", run, timeoutMs / 1000);
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    if (code != 0)
        return Ended(process.hProcess, run, "after WM_CLOSE");
    bool held = closed <= ceiling.ms;
    PrintLine("launch_check: %s: the main dialog listed %ld windows %lu ms after the start and closed %lu ms after "
              "WM_CLOSE, %s the %lu ms ceiling %s%s", run, static_cast<long>(rows), static_cast<unsigned long>(opened),
              static_cast<unsigned long>(closed), held ? "within" : "over", static_cast<unsigned long>(ceiling.ms),
              ceiling.where, held ? "" : ": are the animation's frames 1 ms?");
    return held;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    DeclarePerMonitorDpiAwareness();
    if (argc < 2) {
        PrintLine("launch_check: usage: launch_check <exe> [timeoutSeconds]");
        return 1;
    }
    DWORD timeoutMs = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) * 1000 : 60000;
    Ceiling ceiling = CloseCeiling();
    bool plain = StartAndClose(argv[1], timeoutMs, ceiling, nullptr);

    HWND cover = CreateFixtureW(L"launch_check cover", false);
    if (!cover) {
        PrintLine("launch_check: covered: could not make the covering window: error %lu", GetLastError());
        return 1;
    }
    SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(cover, SW_SHOWMAXIMIZED);
    bool covered = StartAndClose(argv[1], timeoutMs, ceiling, cover);
    DestroyWindow(cover);
    return plain && covered ? 0 : 1;
}
