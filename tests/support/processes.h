// Other processes and their top-level windows: starting and ending a program by its
// handle, and finding a window of it by caption.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct ChildProcess {
    PROCESS_INFORMATION info = {};
    bool Started() const { return info.hProcess != nullptr; }
    bool Running() const;
    DWORD Id() const { return info.dwProcessId; }
};

// A Unix path as Wine's Z: drive sees it, with backslashes.
std::wstring WindowsPath(const std::wstring& path);
// False when it cannot start; *error (when given) then says why.
bool StartProcess(const std::wstring& path, const std::wstring& arguments, ChildProcess* child,
                  std::string* error = nullptr);
// Waits for the process to end by itself, then ends it by handle if it has not.
// True when it ended by itself in time.
bool EndProcess(ChildProcess* child, DWORD graceMs);

std::wstring TitleOf(HWND window);
// A top-level window with exactly this caption, of the process (0: of any process),
// or null; by default only a visible one.
HWND FindWindowOf(DWORD processId, const wchar_t* caption, bool visibleOnly = true);
// Waits, pumping, for a visible one to appear.
HWND WaitForWindowOf(DWORD processId, const wchar_t* caption, DWORD timeoutMs);
// Every top-level window of the process, one a line: for failure messages.
std::string DescribeWindowsOf(DWORD processId);
// The ids of the threads the process has now, and those of them not in before. Which
// threads, not how many: Windows' loader and thread pool start and end threads of their own.
std::vector<DWORD> ThreadIds(DWORD processId);
std::vector<DWORD> ThreadsSince(const std::vector<DWORD>& before, DWORD processId);
