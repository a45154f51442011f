// What the benchmark and the soak share: waiting while this thread's windows keep
// answering, messages to another process with a hang guard, starting and ending
// processes by handle, the stopwatch, and a process's resource counts.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The private message that rebuilds Tarnavel's list, and the floor program's list too.
constexpr UINT WMU_REFRESH = WM_USER + 100;

constexpr int IDC_WINDOW_LIST = 1001;
constexpr WORD ID_FILE_EXIT = 40001;
constexpr WORD ID_OPTIONS_REFRESH_RATE = 40007;
constexpr int IDC_AUTO_REFRESH_ON = 1026;
constexpr int IDC_REFRESH_INTERVAL = 1027;
constexpr int IDC_AUTO_REFRESH_OK = 1022;

extern const wchar_t MAIN_CAPTION[];
extern const wchar_t AUTO_REFRESH_CAPTION[];
extern const wchar_t HIDDEN_SUFFIX[];
// A window title is read with a count of 255: at most 254 characters survive.
constexpr size_t TITLE_READ_LIMIT = 254;

// ---- Output ---------------------------------------------------------------------

// One line on standard output, flushed at once so the script shows progress.
void PrintLine(const char* format, ...);
// One line on standard error.
void PrintError(const char* format, ...);

// ---- Waiting while answering sent messages ---------------------------------------

void PumpMessages();
// Waits on the handle; messages for this thread's windows are handled meanwhile.
bool WaitPumping(HANDLE handle, DWORD timeoutMs);
// Polls the predicate every few milliseconds, pumping in between.
template <typename Predicate>
bool PumpUntil(Predicate predicate, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (predicate())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// A message to another process; false when it was not answered within the timeout.
// Without SMTO_BLOCK, so that this thread keeps answering messages sent to it.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr,
          UINT timeoutMs = 30000);

// ---- Processes ------------------------------------------------------------------

struct ChildProcess {
    PROCESS_INFORMATION info = {};
    bool Started() const { return info.hProcess != nullptr; }
    bool Running() const;
};

// A Unix path as Wine's Z: drive sees it, with backslashes.
std::wstring WindowsPath(const std::wstring& path);
bool StartProcess(const std::wstring& path, const std::wstring& arguments, ChildProcess* child);
// Waits for the process to end by itself, then ends it by handle if it has not.
// True when it ended by itself in time.
bool EndProcess(ChildProcess* child, DWORD graceMs);

// A top-level window of the process with exactly this caption, or null; by default
// only a visible one.
HWND FindWindowOf(DWORD processId, const wchar_t* caption, bool visibleOnly = true);
std::wstring TitleOf(HWND window);
// Every top-level window of the process, on standard error: for failures.
void PrintProcessWindows(DWORD processId);

// ---- Tarnavel from outside ------------------------------------------------------

// Starts tarnavel.exe and waits until its list has rows. Null dialog on failure.
struct Tarnavel {
    ChildProcess process;
    HWND dialog = nullptr;
    HWND list = nullptr;
};
bool StartTarnavel(const std::wstring& path, Tarnavel* tarnavel);
// File > Exit, then the process is ended by handle if it outlives the grace time.
bool ExitTarnavel(Tarnavel* tarnavel, DWORD graceMs);
// Switches auto refresh on or off through the Auto Refresh dialog, as a user would.
// A dialog that has not become visible in time is still used, if it exists, so that
// the run can go on; *stayedHidden then says so, since a user could not have.
bool SetAutoRefresh(const Tarnavel& tarnavel, bool on, const wchar_t* intervalText, bool* stayedHidden);

std::wstring ListRow(HWND list, int row, bool* ok);
int ListCount(HWND list);

// ---- Timing ---------------------------------------------------------------------

double NowMs();
double Median(std::vector<double> values);

// ---- Resource counts ------------------------------------------------------------

struct ProcessUsage {
    uint64_t privateUsage = 0;      // PROCESS_MEMORY_COUNTERS_EX.PrivateUsage
    uint64_t committedPrivate = 0;  // committed private pages, walked with VirtualQueryEx
    DWORD handles = 0;              // GetProcessHandleCount
    DWORD handlesListed = 0;        // the process's entries in the system's handle list
    DWORD userObjects = 0;          // GetGuiResources GR_USEROBJECTS
    DWORD gdiObjects = 0;           // GetGuiResources GR_GDIOBJECTS
    DWORD windows = 0;              // windows the process owns, top-level and child
};
ProcessUsage MeasureUsage(const ChildProcess& child);
// "private 12.3 MiB (committed 11.0 MiB), 45 handles, 0 USER, 0 GDI, 21 windows"
std::string DescribeUsage(const ProcessUsage& usage);
struct UsageDrift {
    bool withinLimits;
    std::string text;
};
// The later counts against the earlier: both memory measures within 1 MiB; handles
// (both counts), USER objects and windows unchanged.
UsageDrift CompareUsage(const ProcessUsage& early, const ProcessUsage& late);

// ---- Fixture titles -------------------------------------------------------------

// Title i of a fixture set: the prefix, the number, and padding to one of a cycle of
// lengths, some longer than the 254 characters a read keeps. Empty when untitled.
std::wstring FixtureTitle(const wchar_t* prefix, unsigned index, bool titled);
