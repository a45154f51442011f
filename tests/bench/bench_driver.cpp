// bench_driver.exe: times Tarnavel's rebuild of its window list against the floor, the
// least work such a rebuild needs, both in processes of their own against the same
// fixture windows, and runs Tarnavel through many rebuilds to see that it keeps no
// memory, handles or USER objects from one to the next.
//
//   bench_driver <tarnavel.exe> <bench_floor.exe> <bench_fixture.exe> <repetitions>
//                <endurance rebuilds> <endurance size> <size>...
//
// Output: one "size" line per window count, the table, and "endurance" lines, all
// read by scripts/bench.sh.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

const wchar_t FIXTURE_PREFIX[] = L"bench-";
const wchar_t FLOOR_CAPTION[] = L"Tarnavel floor";
const DWORD FIXTURE_TIMEOUT_MS = 600000;
const DWORD START_TIMEOUT_MS = 60000;
const UINT REBUILD_TIMEOUT_MS = 600000;
const int WARM_UP_REBUILDS = 3;
// Resource counts are compared from this many rebuilds on: the first ones settle the
// heap and the caches of the window system.
const unsigned ENDURANCE_BASELINE = 100;
const double MAX_RATIO = 1.10;    // rebuild against floor, at 1000 and 5000 windows
const double MAX_SCALING = 5.5;   // rebuild at 5000 windows against 1000

struct Fixture {
    ChildProcess process;
};

struct Floor {
    ChildProcess process;
    HWND dialog = nullptr;
};

struct SizeResult {
    unsigned windows = 0;
    int rows = 0;
    double rebuildMs = 0;
    double floorMs = 0;
};

bool StartFixture(const std::wstring& path, unsigned count, Fixture* fixture)
{
    wchar_t eventName[96];
    swprintf(eventName, 96, L"TarnavelBenchFixtureReady-%lu-%u", GetCurrentProcessId(), count);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName);
    if (!ready)
        return false;
    std::wstring arguments = std::to_wstring(count) + L" " + FIXTURE_PREFIX + L" " + eventName;
    std::string error;
    bool started = StartProcess(path, arguments, &fixture->process, &error);
    if (!started)
        PrintError("%s", error.c_str());
    HANDLE waits[2] = {ready, fixture->process.info.hProcess};
    DWORD result = started ? WaitForMultipleObjects(2, waits, FALSE, FIXTURE_TIMEOUT_MS) : WAIT_FAILED;
    CloseHandle(ready);
    if (result != WAIT_OBJECT_0) {
        PrintError("the fixture of %u windows did not come up", count);
        return false;
    }
    return true;
}

void EndFixture(Fixture* fixture)
{
    if (fixture->process.Started())
        PostThreadMessageW(fixture->process.info.dwThreadId, WM_QUIT, 0, 0);
    EndProcess(&fixture->process, 30000);
}

bool StartFloor(const std::wstring& path, Floor* floor)
{
    std::string error;
    if (!StartProcess(path, L"", &floor->process, &error)) {
        PrintError("%s", error.c_str());
        return false;
    }
    floor->dialog = WaitForWindowOf(floor->process.Id(), FLOOR_CAPTION, START_TIMEOUT_MS);
    if (!floor->dialog)
        PrintError("the floor program showed no window");
    return floor->dialog != nullptr;
}

void EndFloor(Floor* floor)
{
    if (floor->dialog)
        PostMessageW(floor->dialog, WM_CLOSE, 0, 0);
    floor->dialog = nullptr;
    EndProcess(&floor->process, 5000);
}

// One round trip of the refresh message: it returns when the rebuild is done. The
// repaint that the rebuild leaves pending is then done at once and outside the
// timing, so that it does not fall into the next measurement of either program.
bool TimeRebuild(HWND dialog, double* ms)
{
    double start = NowMs();
    bool answered = Send(dialog, WMU_REFRESH, 0, 0, nullptr, REBUILD_TIMEOUT_MS);
    *ms = NowMs() - start;
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return answered;
}

// Repetitions alternate ABBA, so that a slow spell of the machine falls on both.
bool TimeBoth(HWND tarnavel, HWND floor, int repetitions, std::vector<double>* rebuilds, std::vector<double>* floors)
{
    for (int i = 0; i < repetitions; ++i) {
        double a = 0, b = 0;
        bool ok = i % 2 == 0 ? TimeRebuild(tarnavel, &a) && TimeRebuild(floor, &b)
                             : TimeRebuild(floor, &b) && TimeRebuild(tarnavel, &a);
        if (!ok) {
            PrintError("a rebuild did not answer within %u ms", REBUILD_TIMEOUT_MS);
            return false;
        }
        rebuilds->push_back(a);
        floors->push_back(b);
    }
    return true;
}

bool StartTarnavel(const std::wstring& path, Tarnavel* tarnavel)
{
    if (tarnavel->Start(path, START_TIMEOUT_MS))
        return true;
    PrintError("tarnavel.exe: %s", tarnavel->Error().c_str());
    return false;
}

void PrintUsage(const char* when, const ProcessUsage& usage)
{
    PrintLine("endurance %s: %s", when, DescribeUsage(usage).c_str());
}

// Many rebuilds back to back; the counts after the first ENDURANCE_BASELINE are the
// baseline for the counts at the end.
bool RunEndurance(const Tarnavel& tarnavel, unsigned rebuilds)
{
    double firstMs = 0;
    if (!TimeRebuild(tarnavel.Dialog(), &firstMs))
        return false;
    // At least as many again after the baseline, so that a slow leak can show.
    unsigned total = rebuilds < 2 * ENDURANCE_BASELINE ? 2 * ENDURANCE_BASELINE : rebuilds;
    unsigned reportEvery = total / 10;
    PrintLine("endurance: one rebuild takes %.1f ms; %u rebuilds will take about %.0f s", firstMs, total,
              firstMs * total / 1000.0);
    ProcessUsage baseline;
    double start = NowMs();
    for (unsigned done = 1; done < total;) {
        if (!tarnavel.Refresh(REBUILD_TIMEOUT_MS) || !tarnavel.Running()) {
            PrintError("endurance: rebuild %u failed", done + 1);
            return false;
        }
        ++done;
        if (done == ENDURANCE_BASELINE) {
            baseline = MeasureUsage(tarnavel.Process());
            PrintUsage("after 100", baseline);
        }
        if (done % reportEvery == 0)
            PrintLine("endurance: %u rebuilds, %.0f s", done, (NowMs() - start) / 1000.0);
    }
    ProcessUsage end = MeasureUsage(tarnavel.Process());
    char when[32];
    snprintf(when, sizeof when, "after %u", total);
    PrintUsage(when, end);
    UsageDrift drift = CompareUsage(baseline, end);
    PrintLine("endurance result: %s after %u rebuilds: %s", drift.withinLimits ? "PASS" : "FAIL", total,
              drift.text.c_str());
    return drift.withinLimits;
}

struct Programs {
    std::wstring tarnavel;
    std::wstring floor;
    std::wstring fixture;
};

bool MeasureSize(const Programs& programs, unsigned windows, int repetitions, unsigned enduranceRebuilds,
                 SizeResult* result, bool* enduranceOk)
{
    Fixture fixture;
    Tarnavel tarnavel;
    Floor floor;
    bool ok = StartFixture(programs.fixture, windows, &fixture) && StartTarnavel(programs.tarnavel, &tarnavel) &&
              StartFloor(programs.floor, &floor);
    std::vector<double> rebuilds, floors;
    if (ok) {
        // Both lists must show the same windows, or the two are not doing the same work.
        double ignored;
        TimeRebuild(tarnavel.Dialog(), &ignored);
        TimeRebuild(floor.dialog, &ignored);
        int tarnavelRows = tarnavel.RowCount();
        int floorRows = ListCount(GetDlgItem(floor.dialog, IDC_WINDOW_LIST));
        PrintLine("size %u: %d rows in Tarnavel, %d in the floor", windows, tarnavelRows, floorRows);
        result->rows = tarnavelRows;
        std::vector<double> warmUp;
        ok = TimeBoth(tarnavel.Dialog(), floor.dialog, WARM_UP_REBUILDS, &warmUp, &warmUp) &&
             TimeBoth(tarnavel.Dialog(), floor.dialog, repetitions, &rebuilds, &floors);
    }
    if (ok) {
        result->windows = windows;
        result->rebuildMs = Median(rebuilds);
        result->floorMs = Median(floors);
        PrintLine("size %u: rebuild median %.3f ms, floor median %.3f ms, ratio %.3f", windows, result->rebuildMs,
                  result->floorMs, result->rebuildMs / result->floorMs);
    }
    EndFloor(&floor);
    if (ok && enduranceRebuilds > 0)
        *enduranceOk = RunEndurance(tarnavel, enduranceRebuilds);
    bool alive = tarnavel.Running();
    tarnavel.Exit(5000);
    EndFixture(&fixture);
    if (ok && !alive)
        PrintError("tarnavel.exe ended during the measurements");
    return ok && alive;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 8) {
        PrintError("usage: bench_driver <tarnavel.exe> <bench_floor.exe> <bench_fixture.exe> <repetitions> "
                   "<endurance rebuilds> <endurance size> <size>...");
        return 2;
    }
    Programs programs = {argv[1], argv[2], argv[3]};
    int repetitions = _wtoi(argv[4]);
    unsigned enduranceRebuilds = static_cast<unsigned>(_wtoi(argv[5]));
    unsigned enduranceSize = static_cast<unsigned>(_wtoi(argv[6]));

    std::vector<SizeResult> results;
    bool enduranceOk = enduranceRebuilds == 0;
    bool ok = true;
    for (int i = 7; i < argc && ok; ++i) {
        unsigned windows = static_cast<unsigned>(_wtoi(argv[i]));
        SizeResult result;
        ok = MeasureSize(programs, windows, repetitions, windows == enduranceSize ? enduranceRebuilds : 0, &result,
                         &enduranceOk);
        if (ok)
            results.push_back(result);
    }

    PrintLine("%s", "");
    PrintLine("%8s %8s %16s %16s %8s", "N", "rows", "rebuild median", "floor median", "ratio");
    for (const SizeResult& r : results)
        PrintLine("%8u %8d %13.3f ms %13.3f ms %8.3f", r.windows, r.rows, r.rebuildMs, r.floorMs, r.rebuildMs / r.floorMs);
    const SizeResult* thousand = nullptr;
    const SizeResult* fiveThousand = nullptr;
    for (const SizeResult& r : results) {
        if (r.windows == 1000)
            thousand = &r;
        if (r.windows == 5000)
            fiveThousand = &r;
    }
    bool targetsMet = ok && enduranceOk;
    for (const SizeResult* r : {thousand, fiveThousand}) {
        if (!r)
            continue;
        double ratio = r->rebuildMs / r->floorMs;
        bool met = ratio <= MAX_RATIO;
        targetsMet = targetsMet && met;
        PrintLine("target: rebuild <= %.2f x floor at N = %u: %s (%.3f)", MAX_RATIO, r->windows, met ? "met" : "MISSED",
                  ratio);
    }
    if (thousand && fiveThousand) {
        double scaling = fiveThousand->rebuildMs / thousand->rebuildMs;
        bool met = scaling <= MAX_SCALING;
        targetsMet = targetsMet && met;
        PrintLine("target: t(5000)/t(1000) <= %.2f: %s (rebuild %.3f; floor %.3f)", MAX_SCALING, met ? "met" : "MISSED",
                  scaling, fiveThousand->floorMs / thousand->floorMs);
    }
    if (enduranceRebuilds > 0)
        PrintLine("target: no growth over %u rebuilds at N = %u: %s", enduranceRebuilds, enduranceSize,
                  enduranceOk ? "met" : "MISSED");
    if (!ok)
        PrintLine("bench: FAILED to complete");
    else
        PrintLine("bench: %s", targetsMet ? "all targets met" : "targets MISSED");
    return targetsMet ? 0 : 1;
}
