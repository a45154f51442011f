// Timing, resource counts and fixture titles of the benchmark and the soak; see
// bench_support.h.
#include "bench_support.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>

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
