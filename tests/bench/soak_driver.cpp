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
#include <process.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "bench_support.h"

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

const int IDC_WINDOW_NAME = 1005;
const int IDC_EDIT_TOP = 1010;
const int IDC_EDIT_LEFT = 1011;
const int IDC_EDIT_WIDTH = 1013;
const int IDC_EDIT_HEIGHT = 1014;

struct Command {
    WORD id;
    // The command shows the details of the entry it acted on, so the name field then
    // tells which window that was.
    bool showsEntry;
};

const Command COMMANDS[] = {
    {1002, true},  {1003, true},  {1004, true},  {1016, true},  {1012, true},   // Hide .. Set Position
    {1020, false}, {1021, false}, {1022, false}, {1023, false},                 // U R D L
    {1024, false}, {1027, false}, {1028, false}, {1029, false},                 // Taller Shorter Wider Narrower
    {1015, false},                                                              // Refresh
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

const UINT FIXTURE_MAKE = WM_APP + 1;   // wParam windows to make
const UINT FIXTURE_DROP = WM_APP + 2;   // wParam windows to destroy
const UINT FIXTURE_COUNT = WM_APP + 3;  // result: windows alive
const wchar_t FIXTURE_CLASS[] = L"TarnavelSoakFixture";
const wchar_t CONTROL_CLASS[] = L"TarnavelSoakFixtureControl";

struct FixtureThread {
    HANDLE thread = nullptr;
    HANDLE ready = nullptr;
    HWND control = nullptr;
    uint32_t seed = 1;
};

// The fixture thread's own state.
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
        HWND window = CreateWindowExW(0, FIXTURE_CLASS, title.c_str(), WS_OVERLAPPEDWINDOW, x, y, 220, 120, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!window)
            continue;
        if (visible)
            ShowWindow(window, SW_SHOWNOACTIVATE);
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

LRESULT CALLBACK FixtureControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case FIXTURE_MAKE:  MakeFixtureWindows(static_cast<unsigned>(wParam)); return 0;
    case FIXTURE_DROP:  DropFixtureWindows(static_cast<unsigned>(wParam)); return 0;
    case FIXTURE_COUNT: return static_cast<LRESULT>(fixtureWindows.size());
    case WM_CLOSE:
        DropFixtureWindows(static_cast<unsigned>(fixtureWindows.size()));
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

unsigned __stdcall FixtureThreadMain(void* param)
{
    FixtureThread* fixture = static_cast<FixtureThread*>(param);
    fixtureRandom.state = fixture->seed;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = FIXTURE_CLASS;
    RegisterClassW(&windowClass);
    windowClass.lpfnWndProc = FixtureControlProc;
    windowClass.lpszClassName = CONTROL_CLASS;
    RegisterClassW(&windowClass);
    // Message-only: never a top-level window of the desktop, so never listed.
    fixture->control = CreateWindowExW(0, CONTROL_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    SetEvent(fixture->ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

bool StartFixtureThread(FixtureThread* fixture)
{
    fixture->ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    unsigned id = 0;
    fixture->thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, FixtureThreadMain, fixture, 0, &id));
    if (!fixture->thread)
        return false;
    WaitForSingleObject(fixture->ready, INFINITE);
    return fixture->control != nullptr;
}

void StopFixtureThread(FixtureThread* fixture)
{
    if (fixture->control)
        Send(fixture->control, WM_CLOSE, 0, 0);
    if (fixture->thread) {
        WaitForSingleObject(fixture->thread, 10000);
        CloseHandle(fixture->thread);
    }
    if (fixture->ready)
        CloseHandle(fixture->ready);
}

unsigned FixtureCount(const FixtureThread& fixture)
{
    LRESULT count = 0;
    Send(fixture.control, FIXTURE_COUNT, 0, 0, &count);
    return static_cast<unsigned>(count);
}

void SetFixtureCount(const FixtureThread& fixture, unsigned count)
{
    unsigned now = FixtureCount(fixture);
    if (now < count)
        Send(fixture.control, FIXTURE_MAKE, count - now, 0);
    else if (now > count)
        Send(fixture.control, FIXTURE_DROP, now - count, 0);
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
    swprintf(name, 64, L"TarnavelSoakCounters-%lu", tarnavel.process.info.dwProcessId);
    counter->mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name);
    if (counter->mapping)
        counter->refreshes = static_cast<volatile LONG*>(MapViewOfFile(counter->mapping, FILE_MAP_WRITE, 0, 0, 4096));
    counter->module = LoadLibraryW(WindowsPath(dllPath).c_str());
    // Through the generic function pointer type, which any function pointer converts to.
    FARPROC found = counter->module ? GetProcAddress(counter->module, "CountRefreshes") : nullptr;
    HOOKPROC procedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(found));
    DWORD threadId = GetWindowThreadProcessId(tarnavel.dialog, nullptr);
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
            PrintError("soak: a window that is not a fixture changed: \"%ls\"", was.title.c_str());
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
    int count = ListCount(tarnavel.list);
    *rowCount = count;
    if (count < 0)
        return -1;
    int mismatched = 0;
    size_t rows = static_cast<size_t>(count);
    for (size_t row = 0; row < rows || row < expected.size(); ++row) {
        bool ok = false;
        std::wstring text = row < rows ? ListRow(tarnavel.list, static_cast<int>(row), &ok) : L"<no row>";
        std::wstring want = row < expected.size() ? expected[row] : L"<no window>";
        if (text != want) {
            if (mismatched < 3)
                PrintError("soak: row %zu is \"%ls\", the desktop has \"%ls\"", row, text.c_str(), want.c_str());
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
void Settle(const Tarnavel& tarnavel, const FixtureThread& fixture)
{
    Send(fixture.control, WM_NULL, 0, 0);
    Send(tarnavel.dialog, WM_NULL, 0, 0);
    Send(fixture.control, WM_NULL, 0, 0);
}

bool SendCommand(const Tarnavel& tarnavel, WORD id, Tally* tally)
{
    ++tally->commands;
    HWND control = GetDlgItem(tarnavel.dialog, id);
    if (Send(tarnavel.dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control)))
        return true;
    ++tally->unanswered;
    return false;
}

std::wstring ControlText(HWND control)
{
    wchar_t text[1024] = L"";
    LRESULT got = 0;
    if (!Send(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), &got))
        return L"<no answer>";
    return text;
}

void EditGeometryFields(const Tarnavel& tarnavel, Random* random, Tally* tally)
{
    const int ids[] = {IDC_EDIT_TOP, IDC_EDIT_LEFT, IDC_EDIT_WIDTH, IDC_EDIT_HEIGHT};
    const unsigned ranges[] = {600, 1000, 400, 300};
    const unsigned least[] = {0, 0, 60, 40};
    for (int i = 0; i < 4; ++i) {
        std::wstring value = std::to_wstring(least[i] + random->Below(ranges[i]));
        Send(GetDlgItem(tarnavel.dialog, ids[i]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    }
    ++tally->fieldEdits;
}

// Selects a random fixture row as a click would, then presses a random button.
void CommandRandomFixture(const Tarnavel& tarnavel, const FixtureThread& fixture, Random* random, Tally* tally)
{
    Settle(tarnavel, fixture);
    int count = ListCount(tarnavel.list);
    if (count <= 0)
        return;
    int row = -1;
    for (int attempt = 0; attempt < 10 && row < 0; ++attempt) {
        int candidate = static_cast<int>(random->Below(static_cast<unsigned>(count)));
        bool ok = false;
        if (StartsWithPrefix(ListRow(tarnavel.list, candidate, &ok)) && ok)
            row = candidate;
    }
    if (row < 0)
        return;
    LRESULT selected = LB_ERR;
    Send(tarnavel.list, LB_SETCURSEL, static_cast<WPARAM>(row), 0, &selected);
    ++tally->selections;
    ++tally->commands;
    if (!Send(tarnavel.dialog, WM_COMMAND, MAKEWPARAM(IDC_WINDOW_LIST, LBN_SELCHANGE),
              reinterpret_cast<LPARAM>(tarnavel.list)))
        ++tally->unanswered;
    // The row is read again: a rebuild meanwhile keeps its number, not its window.
    bool ok = false;
    LRESULT current = LB_ERR;
    Send(tarnavel.list, LB_GETCURSEL, 0, 0, &current);
    if (current != row || !StartsWithPrefix(ListRow(tarnavel.list, row, &ok)) || !ok) {
        ++tally->rowsChangedUnderUs;
        return;
    }
    const Command& command = COMMANDS[random->Below(sizeof COMMANDS / sizeof COMMANDS[0])];
    if (!SendCommand(tarnavel, command.id, tally))
        return;
    if (command.showsEntry && !StartsWithPrefix(ControlText(GetDlgItem(tarnavel.dialog, IDC_WINDOW_NAME)))) {
        ++tally->foreignActions;
        PrintError("soak: command %u acted on \"%ls\"", command.id,
                   ControlText(GetDlgItem(tarnavel.dialog, IDC_WINDOW_NAME)).c_str());
    }
}

void ChurnFixtures(const FixtureThread& fixture, Random* random)
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
    Send(fixture.control, make ? FIXTURE_MAKE : FIXTURE_DROP, amount, 0);
}

struct Snapshot {
    ProcessUsage usage;
    double atSeconds = 0;
};

Snapshot TakeSnapshot(const Tarnavel& tarnavel, const FixtureThread& fixture, double startMs)
{
    // Measured with the fixture count at its baseline, so that the catalogue has the
    // same size at both points.
    SetFixtureCount(fixture, BASELINE_WINDOWS);
    Settle(tarnavel, fixture);
    Snapshot snapshot;
    snapshot.usage = MeasureUsage(tarnavel.process);
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

    FixtureThread fixture;
    fixture.seed = seed * 2654435761u + 1;
    if (!StartFixtureThread(&fixture)) {
        PrintLine("soak: FAIL, the fixture thread did not start");
        return 1;
    }
    Send(fixture.control, FIXTURE_MAKE, BASELINE_WINDOWS, 0);

    Tarnavel tarnavel;
    RefreshCounter counter;
    bool started = StartTarnavel(argv[1], &tarnavel);
    if (started)
        StartCounting(argv[2], tarnavel, &counter);
    std::vector<WindowState> foreign = ForeignWindows();
    bool dialogHidden = false;
    if (started)
        started = SetAutoRefresh(tarnavel, true, L"1", &dialogHidden);
    Tally tally;
    tally.settingsOpened = 1;
    tally.settingsHidden = dialogHidden ? 1 : 0;
    if (!started) {
        ExitTarnavel(&tarnavel, 2000);
        StopFixtureThread(&fixture);
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
        alive = tarnavel.process.Running();
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
            if (!SetAutoRefresh(tarnavel, true, L"1", &hidden))
                ++tally.unanswered;
            tally.settingsHidden += hidden ? 1 : 0;
            alive = tarnavel.process.Running();
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
        bool off = SetAutoRefresh(tarnavel, false, L"1", &hiddenAtEnd);
        tally.settingsHidden += hiddenAtEnd ? 1 : 0;
        WaitPumping(tarnavel.process.info.hProcess, SETTLE_AFTER_OFF_MS);
        Snapshot end = TakeSnapshot(tarnavel, fixture, startMs);
        if (haveEarly) {
            drift = CompareUsage(early.usage, end.usage);
            PrintLine("soak: end point: %s", DescribeUsage(end.usage).c_str());
        }
        refreshes = RefreshesCounted(counter);
        Send(tarnavel.dialog, WMU_REFRESH, 0, 0);
        mismatched = RowsMismatched(tarnavel, &rows);
        foreignChanged = ForeignWindowsChanged(foreign);
        alive = tarnavel.process.Running();
        double exitStart = NowMs();
        PostMessageW(tarnavel.dialog, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
        bool exited = WaitPumping(tarnavel.process.info.hProcess, EXIT_LIMIT_MS);
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
    ExitTarnavel(&tarnavel, 0);
    StopFixtureThread(&fixture);

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
