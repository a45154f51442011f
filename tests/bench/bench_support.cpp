// Shared plumbing of the benchmark and the soak; see bench_support.h.
#include "bench_support.h"

#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

const wchar_t MAIN_CAPTION[] = L"Tarnavel";
const wchar_t AUTO_REFRESH_CAPTION[] = L"Auto Refresh";
const wchar_t HIDDEN_SUFFIX[] = L"               (HIDDEN)";

namespace {

const DWORD START_TIMEOUT_MS = 60000;
// Longer than any user would wait for a dialog to appear.
const DWORD DIALOG_TIMEOUT_MS = 5000;

void WriteLine(FILE* stream, const char* format, va_list arguments)
{
    vfprintf(stream, format, arguments);
    fputc('\n', stream);
    fflush(stream);
}

}  // namespace

void PrintLine(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    WriteLine(stdout, format, arguments);
    va_end(arguments);
}

void PrintError(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    WriteLine(stderr, format, arguments);
    va_end(arguments);
}

// ---- Waiting ----------------------------------------------------------------------

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool WaitPumping(HANDLE handle, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        DWORD left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0)
            return true;
        if (result != WAIT_OBJECT_0 + 1)
            return false;
        PumpMessages();
    }
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, UINT timeoutMs)
{
    DWORD_PTR answer = 0;
    bool answered = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &answer) != 0;
    if (result)
        *result = static_cast<LRESULT>(answer);
    return answered;
}

// ---- Processes ----------------------------------------------------------------------

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

bool StartProcess(const std::wstring& path, const std::wstring& arguments, ChildProcess* child)
{
    std::wstring program = WindowsPath(path);
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child->info)) {
        PrintError("cannot start %ls (error %lu)", program.c_str(), GetLastError());
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
    if (processId == search->processId && (!search->visibleOnly || IsWindowVisible(window)) &&
        TitleOf(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindWindowOf(DWORD processId, const wchar_t* caption, bool visibleOnly)
{
    WindowSearch search = {processId, caption, visibleOnly, nullptr};
    EnumWindows(MatchProcessAndCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// ---- Tarnavel ------------------------------------------------------------------------

bool StartTarnavel(const std::wstring& path, Tarnavel* tarnavel)
{
    if (!StartProcess(path, L"", &tarnavel->process))
        return false;
    DWORD processId = tarnavel->process.info.dwProcessId;
    PumpUntil([&] { return (tarnavel->dialog = FindWindowOf(processId, MAIN_CAPTION)) != nullptr; }, START_TIMEOUT_MS);
    if (!tarnavel->dialog) {
        PrintError("tarnavel.exe showed no main dialog");
        return false;
    }
    tarnavel->list = GetDlgItem(tarnavel->dialog, IDC_WINDOW_LIST);
    // The list is filled at the end of the dialog's start-up, after its animation.
    bool filled = PumpUntil([&] { return ListCount(tarnavel->list) > 0; }, START_TIMEOUT_MS);
    if (!filled)
        PrintError("tarnavel.exe's list stayed empty");
    return filled;
}

bool ExitTarnavel(Tarnavel* tarnavel, DWORD graceMs)
{
    if (tarnavel->dialog)
        PostMessageW(tarnavel->dialog, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    tarnavel->dialog = tarnavel->list = nullptr;
    return EndProcess(&tarnavel->process, graceMs);
}

namespace {

BOOL CALLBACK PrintIfOwned(HWND window, LPARAM processId)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId))
        PrintError("  %p \"%ls\" %s", static_cast<void*>(window), TitleOf(window).c_str(),
                   IsWindowVisible(window) ? "visible" : "hidden");
    return TRUE;
}

}  // namespace

void PrintProcessWindows(DWORD processId)
{
    EnumWindows(PrintIfOwned, static_cast<LPARAM>(processId));
}

bool SetAutoRefresh(const Tarnavel& tarnavel, bool on, const wchar_t* intervalText, bool* stayedHidden)
{
    *stayedHidden = false;
    // Posted: the settings dialog runs modally inside the command, so a send would
    // not return until the dialog had ended.
    PostMessageW(tarnavel.dialog, WM_COMMAND, MAKEWPARAM(ID_OPTIONS_REFRESH_RATE, 0), 0);
    HWND settings = nullptr;
    DWORD processId = tarnavel.process.info.dwProcessId;
    PumpUntil([&] { return (settings = FindWindowOf(processId, AUTO_REFRESH_CAPTION)) != nullptr; },
              DIALOG_TIMEOUT_MS);
    if (!settings) {
        settings = FindWindowOf(processId, AUTO_REFRESH_CAPTION, false);
        *stayedHidden = settings != nullptr;
        PrintError("the Auto Refresh dialog %s after %lu s; the windows of tarnavel.exe:",
                   settings ? "exists but is still hidden" : "did not appear", DIALOG_TIMEOUT_MS / 1000);
        PrintProcessWindows(processId);
        if (!settings)
            return false;
    }
    HWND box = GetDlgItem(settings, IDC_AUTO_REFRESH_ON);
    HWND interval = GetDlgItem(settings, IDC_REFRESH_INTERVAL);
    HWND ok = GetDlgItem(settings, IDC_AUTO_REFRESH_OK);
    bool sent = Send(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0) &&
                Send(interval, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(intervalText)) &&
                Send(settings, WM_COMMAND, MAKEWPARAM(IDC_AUTO_REFRESH_OK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    bool closed = PumpUntil([&] { return !IsWindow(settings); }, DIALOG_TIMEOUT_MS);
    if (!sent || !closed)
        PrintError("the Auto Refresh dialog did not take the settings");
    return sent && closed;
}

int ListCount(HWND list)
{
    LRESULT count = LB_ERR;
    if (!Send(list, LB_GETCOUNT, 0, 0, &count))
        return -1;
    return static_cast<int>(count);
}

std::wstring ListRow(HWND list, int row, bool* ok)
{
    *ok = false;
    // One message, not two: no row is longer than 254 characters and the suffix.
    std::wstring text(1024, L'\0');
    LRESULT got = 0;
    if (!Send(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text[0]), &got) || got < 0)
        return std::wstring();
    text.resize(static_cast<size_t>(got));
    *ok = true;
    return text;
}

// ---- Timing ---------------------------------------------------------------------------

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return values[middle];
    return (values[middle - 1] + values[middle]) / 2.0;
}

// ---- Resource counts --------------------------------------------------------------------

namespace {

struct WindowCount {
    DWORD processId;
    DWORD count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM param)
{
    (void)window;
    ++reinterpret_cast<WindowCount*>(param)->count;
    return TRUE;
}

BOOL CALLBACK CountOwnWindows(HWND window, LPARAM param)
{
    WindowCount* counting = reinterpret_cast<WindowCount*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == counting->processId) {
        ++counting->count;
        EnumChildWindows(window, CountChild, param);
    }
    return TRUE;
}

uint64_t CommittedPrivateBytes(HANDLE process)
{
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

// The system's handle list, as NtQuerySystemInformation gives it with class 16. Wine
// answers GetProcessHandleCount with 0 for every process; this list it does keep.
struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};

struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};

typedef LONG(WINAPI* QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);

DWORD ListedHandles(DWORD processId)
{
    const ULONG SYSTEM_HANDLE_INFORMATION = 16;
    const LONG STATUS_INFO_LENGTH_MISMATCH = static_cast<LONG>(0xC0000004);
    FARPROC found = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation");
    QuerySystemInformation query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void (*)()>(found));
    if (!query)
        return 0;
    std::vector<unsigned char> buffer(1 << 20);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        LONG status = query(SYSTEM_HANDLE_INFORMATION, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == STATUS_INFO_LENGTH_MISMATCH) {
            buffer.resize(needed > buffer.size() ? needed + 65536 : buffer.size() * 2);
            continue;
        }
        if (status != 0)
            return 0;
        const SystemHandleList* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
        DWORD count = 0;
        for (ULONG i = 0; i < list->count; ++i)
            if (list->entries[i].ownerProcessId == processId)
                ++count;
        return count;
    }
    return 0;
}

double Mib(uint64_t bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

double SignedMib(uint64_t later, uint64_t earlier)
{
    return later >= earlier ? Mib(later - earlier) : -Mib(earlier - later);
}

}  // namespace

ProcessUsage MeasureUsage(const ChildProcess& child)
{
    ProcessUsage usage;
    HANDLE process = child.info.hProcess;
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        usage.privateUsage = counters.PrivateUsage;
    usage.committedPrivate = CommittedPrivateBytes(process);
    GetProcessHandleCount(process, &usage.handles);
    usage.handlesListed = ListedHandles(child.info.dwProcessId);
    usage.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    usage.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    WindowCount counting = {child.info.dwProcessId, 0};
    EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&counting));
    usage.windows = counting.count;
    return usage;
}

std::string DescribeUsage(const ProcessUsage& usage)
{
    char text[256];
    snprintf(text, sizeof text,
             "PrivateUsage %.2f MiB, committed private %.2f MiB, %lu handles (%lu listed), %lu USER, %lu GDI, "
             "%lu windows",
             Mib(usage.privateUsage), Mib(usage.committedPrivate), usage.handles, usage.handlesListed,
             usage.userObjects, usage.gdiObjects, usage.windows);
    return text;
}

UsageDrift CompareUsage(const ProcessUsage& early, const ProcessUsage& late)
{
    const double limitMib = 1.0;
    double privateDrift = SignedMib(late.privateUsage, early.privateUsage);
    double committedDrift = SignedMib(late.committedPrivate, early.committedPrivate);
    long handleDrift = static_cast<long>(late.handles) - static_cast<long>(early.handles);
    long listedDrift = static_cast<long>(late.handlesListed) - static_cast<long>(early.handlesListed);
    long userDrift = static_cast<long>(late.userObjects) - static_cast<long>(early.userObjects);
    long windowDrift = static_cast<long>(late.windows) - static_cast<long>(early.windows);
    UsageDrift drift;
    drift.withinLimits = privateDrift <= limitMib && committedDrift <= limitMib && handleDrift == 0 &&
                         listedDrift == 0 && userDrift == 0 && windowDrift == 0;
    char text[256];
    snprintf(text, sizeof text,
             "PrivateUsage %+.3f MiB, committed private %+.3f MiB, handles %+ld (listed %+ld), USER %+ld, windows %+ld",
             privateDrift, committedDrift, handleDrift, listedDrift, userDrift, windowDrift);
    drift.text = text;
    return drift;
}

// ---- Fixture titles ---------------------------------------------------------------------

std::wstring FixtureTitle(const wchar_t* prefix, unsigned index, bool titled)
{
    if (!titled)
        return std::wstring();
    static const size_t lengths[] = {12, 30, 64, 128, 200, 254, 255, 300, 400, 40, 20, 90};
    size_t length = lengths[index % (sizeof lengths / sizeof lengths[0])];
    wchar_t head[64];
    swprintf(head, 64, L"%ls%06u ", prefix, index);
    std::wstring title = head;
    while (title.size() < length)
        title += static_cast<wchar_t>(L'a' + (title.size() + index) % 26);
    return title;
}
