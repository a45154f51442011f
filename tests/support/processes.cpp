// Starting, ending and finding the windows of other processes; see processes.h.
#include "processes.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>

#include "text_output.h"
#include "waiting.h"

bool ChildProcess::Running() const
{
    return info.hProcess && WaitForSingleObject(info.hProcess, 0) != WAIT_OBJECT_0;
}

std::wstring WindowsPath(const std::wstring& path)
{
    std::wstring result = path;
    if (!result.empty() && result[0] == L'/')
        result = L"Z:" + result;
    for (wchar_t& c : result)
        if (c == L'/')
            c = L'\\';
    return result;
}

bool StartProcess(const std::wstring& path, const std::wstring& arguments, ChildProcess* child, std::string* error)
{
    std::wstring program = WindowsPath(path);
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child->info)) {
        if (error)
            *error = "cannot start " + Utf8(program) + " (error " + std::to_string(GetLastError()) + ")";
        child->info = PROCESS_INFORMATION{};
        return false;
    }
    return true;
}

bool EndProcess(ChildProcess* child, DWORD graceMs)
{
    if (!child->info.hProcess)
        return true;
    bool byItself = WaitPumping(child->info.hProcess, graceMs);
    if (!byItself) {
        TerminateProcess(child->info.hProcess, 1);
        WaitForSingleObject(child->info.hProcess, 5000);
    }
    CloseHandle(child->info.hThread);
    CloseHandle(child->info.hProcess);
    child->info = PROCESS_INFORMATION{};
    return byItself;
}

std::wstring TitleOf(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring title(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &title[0], length + 1);
    title.resize(static_cast<size_t>(got > 0 ? got : 0));
    return title;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* caption;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchProcessAndCaption(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    bool ofProcess = search->processId == 0 || processId == search->processId;
    if (ofProcess && (!search->visibleOnly || IsWindowVisible(window)) && TitleOf(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct WindowList {
    DWORD processId;
    std::string text;
};

BOOL CALLBACK DescribeIfOwned(HWND window, LPARAM param)
{
    WindowList* list = reinterpret_cast<WindowList*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != list->processId)
        return TRUE;
    char handle[32];
    snprintf(handle, sizeof handle, "%p", static_cast<void*>(window));
    list->text += std::string("\n  ") + handle + " \"" + Utf8(TitleOf(window)) + "\" " +
                  (IsWindowVisible(window) ? "visible" : "hidden");
    return TRUE;
}

}  // namespace

HWND FindWindowOf(DWORD processId, const wchar_t* caption, bool visibleOnly)
{
    WindowSearch search = {processId, caption, visibleOnly, nullptr};
    EnumWindows(MatchProcessAndCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindowOf(DWORD processId, const wchar_t* caption, DWORD timeoutMs)
{
    HWND window = nullptr;
    PumpUntil([&] { return (window = FindWindowOf(processId, caption)) != nullptr; }, timeoutMs);
    return window;
}

std::string DescribeWindowsOf(DWORD processId)
{
    WindowList list = {processId, std::string()};
    EnumWindows(DescribeIfOwned, reinterpret_cast<LPARAM>(&list));
    return list.text;
}

std::vector<DWORD> ThreadIds(DWORD processId)
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == processId)
            ids.push_back(entry.th32ThreadID);
    CloseHandle(snapshot);
    return ids;
}

std::vector<DWORD> ThreadsSince(const std::vector<DWORD>& before, DWORD processId)
{
    std::vector<DWORD> appeared;
    for (DWORD id : ThreadIds(processId))
        if (std::find(before.begin(), before.end(), id) == before.end())
            appeared.push_back(id);
    return appeared;
}
