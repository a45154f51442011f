// What the benchmark and the soak share beyond the test support: the stopwatch, a
// process's resource counts, and the titles of their fixture windows.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cross_process.h"
#include "processes.h"
#include "tarnavel_process.h"
#include "text_output.h"
#include "waiting.h"

// A window title is read with a count of 255: at most 254 characters survive.
constexpr size_t TITLE_READ_LIMIT = 254;

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
