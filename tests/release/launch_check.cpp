// launch_check.exe: starts Tarnavel as a user does, from its own folder, and reports
// whether its main dialog came up listing windows and then closed on WM_CLOSE, and how
// long each took. Prints one line saying what happened; exit code 0 when all of that
// held, 1 otherwise.
//
//   launch_check <exe> [timeoutSeconds]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

const wchar_t MAIN_CAPTION[] = L"Tarnavel";
const int ID_WINDOW_LIST = 1001;
const UINT SEND_TIMEOUT_MS = 5000;
// What the loader reports when a DLL that the exe imports is nowhere to be found.
const DWORD DLL_NOT_FOUND = 0xC0000135;
// The closing animation is some fifty frames of 1 ms. Frames that each last a timer
// tick, as Sleep(1) does on Windows 10 and 11 unless the program asks for 1 ms, would
// take 0.8 s: this ceiling tells the two apart and leaves the rest to a slow machine.
const DWORD CLOSE_CEILING_MS = 500;

int Fail(const char* what, unsigned long value = 0)
{
    std::printf("launch_check: ");
    std::printf(what, value);
    std::printf("\n");
    return 1;
}

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchMainDialog(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    if (owner == search->processId && IsWindowVisible(window) && std::wcscmp(title, MAIN_CAPTION) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The number of rows in the main dialog's list, or 0 while there is no dialog yet.
LRESULT ListedRows(DWORD processId, HWND& dialog)
{
    Search search = {processId, nullptr};
    EnumWindows(MatchMainDialog, reinterpret_cast<LPARAM>(&search));
    dialog = search.found;
    HWND list = dialog ? GetDlgItem(dialog, ID_WINDOW_LIST) : nullptr;
    DWORD_PTR rows = 0;
    if (!list || !SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, SEND_TIMEOUT_MS, &rows))
        return 0;
    return static_cast<LRESULT>(rows) == LB_ERR ? 0 : static_cast<LRESULT>(rows);
}

int Ended(HANDLE process, const char* when)
{
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    std::printf("launch_check: Tarnavel ended with code 0x%08lX %s%s\n", static_cast<unsigned long>(code), when,
                code == DLL_NOT_FOUND ? " (a DLL that it imports was not found)" : "");
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Fail("usage: launch_check <exe> [timeoutSeconds]");
    DWORD timeoutMs = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) * 1000 : 60000;

    // From its own folder, as a double-click starts it: the DLLs found there are the
    // ones shipped beside it.
    std::wstring exe = argv[1];
    std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return Fail("could not start it: error %lu", GetLastError());
    CloseHandle(process.hThread);

    DWORD start = GetTickCount();
    HWND dialog = nullptr;
    LRESULT rows = 0;
    while ((rows = ListedRows(process.dwProcessId, dialog)) == 0) {
        if (GetTickCount() - start >= timeoutMs) {
            TerminateProcess(process.hProcess, 1);
            return Fail(dialog ? "the main dialog listed no windows within %lu s"
                               : "no main dialog within %lu s", timeoutMs / 1000);
        }
        // Wakes at once when the process ends; otherwise looks for the dialog again.
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0)
            return Ended(process.hProcess, "before its main dialog appeared");
    }

    DWORD opened = GetTickCount() - start;
    // Until the dialog is gone from the screen, not until the process has ended: under
    // Wine a process takes a while longer to end, which the program does not decide.
    DWORD closing = GetTickCount();
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    while (IsWindowVisible(dialog) && GetTickCount() - closing < timeoutMs)
        WaitForSingleObject(process.hProcess, 2);
    DWORD closed = GetTickCount() - closing;
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        return Fail("the main dialog was still open %lu s after WM_CLOSE", timeoutMs / 1000);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    if (code != 0)
        return Ended(process.hProcess, "after WM_CLOSE");
    std::printf("launch_check: the main dialog listed %ld windows %lu ms after the start and closed %lu ms after "
                "WM_CLOSE\n", static_cast<long>(rows), static_cast<unsigned long>(opened),
                static_cast<unsigned long>(closed));
    if (closed > CLOSE_CEILING_MS)
        return Fail("closing took longer than %lu ms: are the animation's frames 1 ms?", CLOSE_CEILING_MS);
    return 0;
}
