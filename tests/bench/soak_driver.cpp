// soak_driver.exe: a minute (or any time) of random selections and commands on
// Tarnavel while its auto refresh runs every millisecond and fixture windows appear
// and vanish; then checks that it is alive, that its list matches the desktop, that it
// kept no memory, handles or USER objects, and that File > Exit ends it in time.
//
//   soak_driver <tarnavel.exe> <refresh_counter.dll> <seconds> [seed]
//
// Commands go only to rows of the fixture windows, whose titles start with "soak-",
// so that the desktop's own windows are never hidden or moved. A rebuild between the
// choice of a row and the command keeps the row number, so the choice holds only if
// the windows' order has not changed meanwhile: the fixture windows change only
// between commands, at this thread's request, and every command starts once both
// Tarnavel's thread and the fixture thread have handled what the last one left them.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "bench_support.h"
#include "fixture_windows.h"

namespace {

const wchar_t PREFIX[] = L"soak-";
const unsigned BASELINE_WINDOWS = 40;
const unsigned CHURN_RANGE = 12;      // the fixture count stays within this of the baseline
const DWORD EXIT_LIMIT_MS = 2000;
const DWORD SETTLE_AFTER_OFF_MS = 1500;  // longer than the worker's pause while off
const DWORD PROGRESS_EVERY_MS = 10000;
// The Auto Refresh dialog is opened again this often while refreshes run, as a user
// would to change the interval or switch it off.
const DWORD REOPEN_SETTINGS_EVERY_MS = 15000;
// Longer than any user would wait for a dialog to appear.
const DWORD DIALOG_APPEAR_MS = 5000;

struct Command {
    WORD id;
    // The command shows the details of the entry it acted on, so the name field then
    // tells which window that was, until a rebuild moves the details to the row's window.
    bool showsEntry;
};

const Command COMMANDS[] = {
    {IDC_HIDE, true},     {IDC_RESTORE, true},     {IDC_MINIMIZE, true},   {IDC_MAXIMIZE, true},
    {IDC_SET_POSITION, true},
    {IDC_MOVE_UP, false}, {IDC_MOVE_RIGHT, false}, {IDC_MOVE_DOWN, false}, {IDC_MOVE_LEFT, false},
    {IDC_TALLER, false},  {IDC_SHORTER, false},    {IDC_WIDER, false},     {IDC_NARROWER, false},
    {IDC_REFRESH, false},
};

struct Random {
    uint32_t state;
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    unsigned Below(unsigned limit) { return limit ? Next() % limit : 0; }
};

bool StartsWithPrefix(const std::wstring& text)
{
    return text.compare(0, wcslen(PREFIX), PREFIX) == 0;
}

// ---- The fixture thread: owns every soak window and answers while Tarnavel works on them

// The fixture thread's own state, touched only by the work it is given to run.
std::vector<HWND> fixtureWindows;
unsigned fixtureSerial;
unsigned windowsMade;
unsigned windowsDestroyed;
Random fixtureRandom;

void MakeFixtureWindows(unsigned count)
{
    for (unsigned i = 0; i < count; ++i) {
        unsigned serial = fixtureSerial++;
        bool titled = serial % 5 != 4;
        bool visible = fixtureRandom.Below(3) != 0;
        std::wstring title = FixtureTitle(PREFIX, serial, titled);
        int x = static_cast<int>(fixtureRandom.Below(900));
        int y = static_cast<int>(380 + fixtureRandom.Below(500));
        HWND window = CreateFixtureW(title.c_str(), visible, x, y, 220, 120);
        if (!window)
            continue;
        fixtureWindows.push_back(window);
        ++windowsMade;
    }
}

void DropFixtureWindows(unsigned count)
{
    for (unsigned i = 0; i < count && !fixtureWindows.empty(); ++i) {
        size_t victim = fixtureRandom.Below(static_cast<unsigned>(fixtureWindows.size()));
        DestroyWindow(fixtureWindows[victim]);
        fixtureWindows.erase(fixtureWindows.begin() + static_cast<long>(victim));
        ++windowsDestroyed;
    }
}

unsigned FixtureCount(WindowThread& fixture)
{
    unsigned count = 0;
    fixture.Run([&count] { count = static_cast<unsigned>(fixtureWindows.size()); });
    return count;
}

void SetFixtureCount(WindowThread& fixture, unsigned count)
{
    fixture.Run([count] {
        unsigned now = static_cast<unsigned>(fixtureWindows.size());
        if (now < count)
            MakeFixtureWindows(count - now);
        else
            DropFixtureWindows(now - count);
    });
}

// ---- Refresh counting inside Tarnavel ------------------------------------------------

struct RefreshCounter {
    HANDLE mapping = nullptr;
    volatile LONG* refreshes = nullptr;
    HMODULE module = nullptr;
    HHOOK hook = nullptr;
};

bool StartCounting(const std::wstring& dllPath, const Tarnavel& tarnavel, RefreshCounter* counter)
{
    wchar_t name[64];
    swprintf(name, 64, L"TarnavelSoakCounters-%lu", tarnavel.ProcessId());
    counter->mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name);
    if (counter->mapping)
        counter->refreshes = static_cast<volatile LONG*>(MapViewOfFile(counter->mapping, FILE_MAP_WRITE, 0, 0, 4096));
    counter->module = LoadLibraryW(WindowsPath(dllPath).c_str());
    // Through the generic function pointer type, which any function pointer converts to.
    FARPROC found = counter->module ? GetProcAddress(counter->module, "CountRefreshes") : nullptr;
    HOOKPROC procedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(found));
    DWORD threadId = GetWindowThreadProcessId(tarnavel.Dialog(), nullptr);
    if (procedure && counter->refreshes)
        counter->hook = SetWindowsHookExW(WH_CALLWNDPROC, procedure, counter->module, threadId);
    if (!counter->hook)
        PrintError("soak: refreshes cannot be counted (no hook)");
    return counter->hook != nullptr;
}

long RefreshesCounted(const RefreshCounter& counter)
{
    return counter.hook && counter.refreshes ? *counter.refreshes : -1;
}

void StopCounting(RefreshCounter* counter)
{
    if (counter->hook)
        UnhookWindowsHookEx(counter->hook);
    if (counter->refreshes)
        UnmapViewOfFile(const_cast<LONG*>(counter->refreshes));
    if (counter->mapping)
        CloseHandle(counter->mapping);
    if (counter->module)
        FreeLibrary(counter->module);
}

// ---- The desktop's own windows, which must come through untouched ----------------------

struct WindowState {
    HWND window;
    std::wstring title;
    bool visible;
    bool iconic;
    bool zoomed;
    RECT rect;
};

BOOL CALLBACK RecordForeignWindow(HWND window, LPARAM param)
{
    std::wstring title = TitleOf(window);
    if (StartsWithPrefix(title))
        return TRUE;
    WindowState state = {window, title, IsWindowVisible(window) != FALSE, IsIconic(window) != FALSE,
                         IsZoomed(window) != FALSE, {}};
    GetWindowRect(window, &state.rect);
    reinterpret_cast<std::vector<WindowState>*>(param)->push_back(state);
    return TRUE;
}

std::vector<WindowState> ForeignWindows()
{
    std::vector<WindowState> states;
    EnumWindows(RecordForeignWindow, reinterpret_cast<LPARAM>(&states));
    return states;
}

// The windows recorded at the start that still exist and are no longer as they were.
unsigned ForeignWindowsChanged(const std::vector<WindowState>& before)
{
    unsigned changed = 0;
    for (const WindowState& was : before) {
        if (!IsWindow(was.window))
            continue;
        RECT rect;
        GetWindowRect(was.window, &rect);
        bool same = (IsWindowVisible(was.window) != FALSE) == was.visible && (IsIconic(was.window) != FALSE) == was.iconic &&
                    (IsZoomed(was.window) != FALSE) == was.zoomed && EqualRect(&rect, &was.rect);
        if (!same) {
            ++changed;
            PrintError("soak: a window that is not a fixture changed: \"%s\"", Utf8(was.title).c_str());
        }
    }
    return changed;
}

// ---- The list against the desktop --------------------------------------------------------

BOOL CALLBACK RecordExpectedRow(HWND window, LPARAM param)
{
    std::wstring title = TitleOf(window);
    if (title.empty())
        return TRUE;
    if (title.size() > TITLE_READ_LIMIT)
        title.resize(TITLE_READ_LIMIT);
    if (!IsWindowVisible(window))
        title += HIDDEN_SUFFIX;
    reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(title);
    return TRUE;
}

// Rows that do not match the titled windows of the desktop, in its order; -1 when the
// list could not be read.
int RowsMismatched(const Tarnavel& tarnavel, int* rowCount)
{
    std::vector<std::wstring> expected;
    EnumWindows(RecordExpectedRow, reinterpret_cast<LPARAM>(&expected));
    int count = tarnavel.RowCount();
    *rowCount = count;
    if (count < 0)
        return -1;
    int mismatched = 0;
    size_t rows = static_cast<size_t>(count);
    for (size_t row = 0; row < rows || row < expected.size(); ++row) {
        bool ok = false;
        std::wstring text = row < rows ? ListRow(tarnavel.List(), static_cast<int>(row), &ok) : L"<no row>";
        std::wstring want = row < expected.size() ? expected[row] : L"<no window>";
        if (text != want) {
            if (mismatched < 3)
                PrintError("soak: row %zu is \"%s\", the desktop has \"%s\"", row, Utf8(text).c_str(),
                           Utf8(want).c_str());
            ++mismatched;
        }
    }
    return mismatched;
}

// ---- Driving ------------------------------------------------------------------------------

struct Tally {
    unsigned commands = 0;       // WM_COMMANDs sent: selections and buttons
    unsigned selections = 0;
    unsigned fieldEdits = 0;
    unsigned rowsChangedUnderUs = 0;  // a selection given up because its row had changed
    unsigned foreignActions = 0;      // a command that acted on a window that is not a fixture
    unsigned unanswered = 0;
    unsigned settingsOpened = 0;      // the Auto Refresh dialog, opened while refreshes ran
    unsigned settingsHidden = 0;      // ... and not visible within the time a user would wait
};

// Lets Tarnavel's thread and the fixture thread finish what the last action left them
// (activation passed on, a window raised), so that the windows' order holds still.
void Settle(const Tarnavel& tarnavel, WindowThread& fixture)
{
    fixture.Run([] {});
    Send(tarnavel.Dialog(), WM_NULL, 0, 0);
    fixture.Run([] {});
}

bool SendCommand(const Tarnavel& tarnavel, WORD id, Tally* tally)
{
    ++tally->commands;
    if (tarnavel.Command(id))
        return true;
    ++tally->unanswered;
    return false;
}

void EditGeometryFields(const Tarnavel& tarnavel, Random* random, Tally* tally)
{
    const int ids[] = {IDC_EDIT_TOP, IDC_EDIT_LEFT, IDC_EDIT_WIDTH, IDC_EDIT_HEIGHT};
    const unsigned ranges[] = {600, 1000, 400, 300};
    const unsigned least[] = {0, 0, 60, 40};
    for (int i = 0; i < 4; ++i) {
        std::wstring value = std::to_wstring(least[i] + random->Below(ranges[i]));
        Send(GetDlgItem(tarnavel.Dialog(), ids[i]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    }
    ++tally->fieldEdits;
}

// Selects a random fixture row as a click would, then presses a random button.
void CommandRandomFixture(const Tarnavel& tarnavel, WindowThread& fixture, Random* random, Tally* tally)
{
    Settle(tarnavel, fixture);
    int count = tarnavel.RowCount();
    if (count <= 0)
        return;
    int row = -1;
    for (int attempt = 0; attempt < 10 && row < 0; ++attempt) {
        int candidate = static_cast<int>(random->Below(static_cast<unsigned>(count)));
        bool ok = false;
        if (StartsWithPrefix(ListRow(tarnavel.List(), candidate, &ok)) && ok)
            row = candidate;
    }
    if (row < 0)
        return;
    ++tally->selections;
    ++tally->commands;
    if (!ClickRow(tarnavel.List(), row))
        ++tally->unanswered;
    // The row is read again: a rebuild meanwhile keeps its number, not its window.
    bool ok = false;
    if (tarnavel.SelectedRow() != row || !StartsWithPrefix(ListRow(tarnavel.List(), row, &ok)) || !ok) {
        ++tally->rowsChangedUnderUs;
        return;
    }
    const Command& command = COMMANDS[random->Below(sizeof COMMANDS / sizeof COMMANDS[0])];
    if (!SendCommand(tarnavel, command.id, tally))
        return;
    if (!command.showsEntry)
        return;
    // A rebuild after the command keeps the row number, and when the command moved its
    // window in the stacking order that row may now show another one, whose details
    // then follow it. A name that is not a fixture's counts only when no row explains it.
    std::wstring actedOn = tarnavel.Text(IDC_WINDOW_NAME);
    if (!StartsWithPrefix(actedOn) && actedOn != tarnavel.Row(tarnavel.SelectedRow())) {
        ++tally->foreignActions;
        PrintError("soak: command %u acted on \"%s\"", command.id, Utf8(actedOn).c_str());
    }
}

void ChurnFixtures(WindowThread& fixture, Random* random)
{
    unsigned count = FixtureCount(fixture);
    unsigned amount = 1 + random->Below(3);
    bool make;
    if (count + amount > BASELINE_WINDOWS + CHURN_RANGE)
        make = false;
    else if (count < BASELINE_WINDOWS - CHURN_RANGE + amount)
        make = true;
    else
        make = random->Below(2) == 0;
    fixture.Run([make, amount] {
        if (make)
            MakeFixtureWindows(amount);
        else
            DropFixtureWindows(amount);
    });
}

// Through the Auto Refresh dialog at 1 ms, as a user would; what went wrong on stderr.
bool SetAutoRefresh(Tarnavel& tarnavel, bool on, bool* stayedHidden)
{
    bool set = tarnavel.SetAutoRefresh(on, L"1", DIALOG_APPEAR_MS, stayedHidden);
    if (!tarnavel.Error().empty())
        PrintError("%s", tarnavel.Error().c_str());
    return set;
}

struct Snapshot {
    ProcessUsage usage;
    double atSeconds = 0;
};

Snapshot TakeSnapshot(const Tarnavel& tarnavel, WindowThread& fixture, double startMs)
{
    // Measured with the fixture count at its baseline, so that the catalogue has the
    // same size at both points.
    SetFixtureCount(fixture, BASELINE_WINDOWS);
    Settle(tarnavel, fixture);
    Snapshot snapshot;
    snapshot.usage = MeasureUsage(tarnavel.Process());
    snapshot.atSeconds = (NowMs() - startMs) / 1000.0;
    return snapshot;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        PrintError("usage: soak_driver <tarnavel.exe> <refresh_counter.dll> <seconds> [seed]");
        return 2;
    }
    const double seconds = _wtof(argv[3]);
    uint32_t seed = argc > 4 ? static_cast<uint32_t>(wcstoul(argv[4], nullptr, 10)) : GetTickCount();
    if (seed == 0)
        seed = 1;
    Random random = {seed};

    // Seeded before the thread starts, which then alone draws from it.
    fixtureRandom.state = seed * 2654435761u + 1;
    WindowThread fixture;
    SetFixtureCount(fixture, BASELINE_WINDOWS);

    Tarnavel tarnavel;
    RefreshCounter counter;
    bool started = tarnavel.Start(argv[1]);
    if (started)
        StartCounting(argv[2], tarnavel, &counter);
    else
        PrintError("tarnavel.exe: %s", tarnavel.Error().c_str());
    std::vector<WindowState> foreign = ForeignWindows();
    bool dialogHidden = false;
    if (started)
        started = SetAutoRefresh(tarnavel, true, &dialogHidden);
    Tally tally;
    tally.settingsOpened = 1;
    tally.settingsHidden = dialogHidden ? 1 : 0;
    if (!started) {
        tarnavel.Exit(2000);
        SetFixtureCount(fixture, 0);
        PrintLine("soak: FAIL, Tarnavel did not start with auto refresh on");
        return 1;
    }

    double startMs = NowMs();
    double deadlineMs = startMs + seconds * 1000.0;
    double earlyAtMs = startMs + (seconds * 100.0 > 5000.0 ? seconds * 100.0 : 5000.0);
    double nextProgressMs = startMs + PROGRESS_EVERY_MS;
    double nextReopenMs = startMs + REOPEN_SETTINGS_EVERY_MS;
    Snapshot early;
    bool haveEarly = false;
    bool alive = true;
    while (alive && NowMs() < deadlineMs) {
        unsigned choice = random.Below(100);
        if (choice < 8)
            ChurnFixtures(fixture, &random);
        else if (choice < 12)
            EditGeometryFields(tarnavel, &random, &tally);
        else
            CommandRandomFixture(tarnavel, fixture, &random, &tally);
        alive = tarnavel.Running();
        double now = NowMs();
        if (alive && !haveEarly && now >= earlyAtMs) {
            early = TakeSnapshot(tarnavel, fixture, startMs);
            haveEarly = true;
            PrintLine("soak: early point at %.0f s: %s", early.atSeconds, DescribeUsage(early.usage).c_str());
        }
        if (alive && now >= nextReopenMs && now + REOPEN_SETTINGS_EVERY_MS / 2 < deadlineMs) {
            nextReopenMs += REOPEN_SETTINGS_EVERY_MS;
            bool hidden = false;
            ++tally.settingsOpened;
            if (!SetAutoRefresh(tarnavel, true, &hidden))
                ++tally.unanswered;
            tally.settingsHidden += hidden ? 1 : 0;
            alive = tarnavel.Running();
        }
        if (now >= nextProgressMs) {
            nextProgressMs += PROGRESS_EVERY_MS;
            PrintLine("soak: %.0f s, %u commands, %ld refreshes, %u fixture windows", (now - startMs) / 1000.0,
                      tally.commands, RefreshesCounted(counter), FixtureCount(fixture));
        }
    }
    double soakSeconds = (NowMs() - startMs) / 1000.0;

    bool pass = alive;
    std::string failures;
    int rows = 0;
    int mismatched = -1;
    UsageDrift drift = {false, "not measured"};
    unsigned foreignChanged = 0;
    double exitMs = -1;
    long refreshes = RefreshesCounted(counter);
    if (alive) {
        SetFixtureCount(fixture, BASELINE_WINDOWS);
        bool hiddenAtEnd = false;
        ++tally.settingsOpened;
        bool off = SetAutoRefresh(tarnavel, false, &hiddenAtEnd);
        tally.settingsHidden += hiddenAtEnd ? 1 : 0;
        WaitPumping(tarnavel.Process().info.hProcess, SETTLE_AFTER_OFF_MS);
        Snapshot end = TakeSnapshot(tarnavel, fixture, startMs);
        if (haveEarly) {
            drift = CompareUsage(early.usage, end.usage);
            PrintLine("soak: end point: %s", DescribeUsage(end.usage).c_str());
        }
        refreshes = RefreshesCounted(counter);
        tarnavel.Refresh();
        mismatched = RowsMismatched(tarnavel, &rows);
        foreignChanged = ForeignWindowsChanged(foreign);
        alive = tarnavel.Running();
        double exitStart = NowMs();
        bool exited = tarnavel.Exit(EXIT_LIMIT_MS);
        exitMs = NowMs() - exitStart;
        if (!off)
            failures += " auto-refresh-off";
        if (tally.settingsHidden)
            failures += " auto-refresh-dialog-not-shown";
        if (!alive)
            failures += " died-at-end";
        if (mismatched != 0)
            failures += " rows";
        if (!haveEarly || !drift.withinLimits)
            failures += " resources";
        if (foreignChanged || tally.foreignActions)
            failures += " foreign-window-touched";
        if (tally.unanswered)
            failures += " unanswered";
        if (!exited)
            failures += " exit";
        pass = failures.empty();
    } else {
        failures = " died";
    }
    StopCounting(&counter);
    tarnavel.Exit(0);
    SetFixtureCount(fixture, 0);

    PrintLine("soak: details: %u selections, %u field edits, %u selections given up (row changed), %u fixture "
              "windows made, %u destroyed, seed %u",
              tally.selections, tally.fieldEdits, tally.rowsChangedUnderUs, windowsMade, windowsDestroyed, seed);
    PrintLine("soak: %s %.0f s, %u commands, %ld refreshes, %d rows all matching the desktop: %s, resources: %s, "
              "untouched desktop: %s, Auto Refresh dialog shown %u of %u times, exit in %.2f s%s%s",
              pass ? "PASS" : "FAIL", soakSeconds, tally.commands, refreshes, rows, mismatched == 0 ? "yes" : "no",
              drift.text.c_str(), foreignChanged == 0 && tally.foreignActions == 0 ? "yes" : "no",
              tally.settingsOpened - tally.settingsHidden, tally.settingsOpened, exitMs / 1000.0,
              pass ? "" : ", failed:", failures.c_str());
    return pass ? 0 : 1;
}
