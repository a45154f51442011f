// End-to-end tests: the real tarnavel.exe runs as a process of its own and is driven
// from outside with the messages a user's clicks produce, against fixture windows that
// this test process owns. Nothing of the program is linked in.
//
// While a command of the program works on a fixture (reading its title, hiding it,
// moving it), the window system sends messages to the fixture's thread, which is this
// one: every wait here handles sent messages, and every message to the program goes
// through SendMessageTimeoutW without SMTO_BLOCK so that it does too.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cross_process.h"
#include "dpi_awareness.h"
#include "fixture_windows.h"
#include "processes.h"
#include "rect_check.h"
#include "resources/resource.h"
#include "tarnavel_process.h"
#include "text_output.h"
#include "waiting.h"

namespace {

// Before main, so before any window is made: positions read here are Tarnavel's pixels.
const bool dpiAware = DeclarePerMonitorDpiAwareness();

// A ceiling that only catches a start-up or a dialog that never comes.
const DWORD START_TIMEOUT_MS = 20000;
// File > Exit must end the process within this: a ceiling that catches an exit that
// never comes, not a timing, since a busy machine's Wine is slow to end a process.
const DWORD EXIT_TIMEOUT_MS = 5000;
// Auto refresh every 300 ms lists a new window within a second on a quiet machine;
// this only catches a periodic rebuild that never comes.
const DWORD AUTO_REFRESH_CEILING_MS = 20000;

// A title no other window has, so that exactly one row can match it.
std::wstring UniqueTitle(const wchar_t* what)
{
    static int counter = 0;
    return std::wstring(L"Tarnavel e2e ") + what + L" " + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

// ---- The program under test -----------------------------------------------------

// Where a program of the build is: the variable CTest sets, a Unix path under the Z:
// drive, or else its place in the build, whose root is two levels above this test.
std::wstring BuiltProgram(const wchar_t* variable, const wchar_t* inBuild)
{
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableW(variable, buffer, MAX_PATH * 2);
    std::wstring path;
    if (length > 0 && length < MAX_PATH * 2) {
        path = buffer;
    } else {
        GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
        path = buffer;
        path = path.substr(0, path.find_last_of(L"\\/")) + L"\\..\\..\\" + inBuild;
    }
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

std::wstring ProgramPath()
{
    return BuiltProgram(L"TARNAVEL_EXE", L"tarnavel.exe");
}

::testing::AssertionResult Started(Tarnavel& app)
{
    if (app.Start(ProgramPath(), START_TIMEOUT_MS))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << app.Error();
}

// File > Exit; the process must be gone within the ceiling.
::testing::AssertionResult Exited(Tarnavel& app)
{
    if (app.Exit(EXIT_TIMEOUT_MS))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << app.Error();
}

// The rows, one a line, for failure messages.
std::string Listing(const Tarnavel& app)
{
    std::string text = "rows:";
    for (const std::wstring& row : app.Rows())
        text += "\n  [" + Utf8(row) + "]";
    return text;
}

struct MenuEntry {
    std::wstring text;
    bool opensPopup;
    UINT commandId;
};

// False when the window system cannot read this menu (the handle is of another process
// and the window system keeps menus per process, as Wine does).
bool ReadMenuBar(HMENU bar, std::vector<MenuEntry>& entries)
{
    int count = GetMenuItemCount(bar);
    if (count < 0)
        return false;
    for (int position = 0; position < count; ++position) {
        wchar_t text[64] = {};
        GetMenuStringW(bar, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
        entries.push_back({text, GetSubMenu(bar, position) != nullptr, GetMenuItemID(bar, position)});
    }
    return true;
}

// The bar as the exe's own resources define it: the menu its main dialog template names.
bool ReadMenuBarFromProgramFile(std::vector<MenuEntry>& entries)
{
    HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!program)
        return false;
    HMENU bar = LoadMenuW(program, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    bool read = bar && ReadMenuBar(bar, entries);
    if (bar)
        DestroyMenu(bar);
    FreeLibrary(program);
    return read;
}

// A program of its own, the driver run with these arguments, and its window with this
// title; ended by its handle.
class DriverProgram {
public:
    DriverProgram(const std::wstring& arguments, const std::wstring& title)
    {
        if (StartProcess(BuiltProgram(L"TARNAVEL_DRIVER", L"tests\\e2e\\tarnavel_driver.exe"), arguments, &process))
            window = WaitForWindowOf(process.Id(), title.c_str(), START_TIMEOUT_MS);
    }
    ~DriverProgram() { EndProcess(&process, 0); }
    DriverProgram(const DriverProgram&) = delete;
    DriverProgram& operator=(const DriverProgram&) = delete;

    HWND Window() const { return window; }

private:
    ChildProcess process;
    HWND window = nullptr;
};

// The driver's "stuck" command: its only window stops taking messages when told to, as
// a hung program's does, until it is released.
class StuckProgram {
public:
    explicit StuckProgram(const std::wstring& title)
        : name(L"TarnavelStuck-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++made)),
          stop(CreateEventW(nullptr, FALSE, FALSE, (name + L"-stop").c_str())),
          release(CreateEventW(nullptr, FALSE, FALSE, (name + L"-release").c_str())),
          program(L"stuck \"" + title + L"\" " + name + L"-stop " + name + L"-release", title),
          window(program.Window())
    {
    }
    ~StuckProgram()
    {
        Recover();
        CloseHandle(stop);
        CloseHandle(release);
    }
    StuckProgram(const StuckProgram&) = delete;
    StuckProgram& operator=(const StuckProgram&) = delete;

    HWND Window() const { return window; }
    // True once the window has stopped answering.
    bool StopAnswering()
    {
        SetEvent(stop);
        return PumpUntil([&] { return !Send(window, WM_NULL, 0, 0, nullptr, 200); }, START_TIMEOUT_MS);
    }
    void Recover() { SetEvent(release); }

private:
    static int made;
    std::wstring name;
    HANDLE stop;
    HANDLE release;
    DriverProgram program;
    HWND window;
};

int StuckProgram::made = 0;

// A command that waited on the stuck window would keep the whole program waiting; this
// bound only tells such a wait from the short question Tarnavel asks first.
const DWORD COMMAND_BOUND_MS = 1000;

::testing::AssertionResult ReturnsAtOnce(const Tarnavel& app, WORD command)
{
    DWORD start = GetTickCount();
    bool answered = Click(app.Dialog(), command, 5000);
    DWORD took = GetTickCount() - start;
    if (answered && took < COMMAND_BOUND_MS)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "command " << command << (answered ? " took " : " was not answered in ")
                                         << took << " ms";
}

// The fields as a rectangle: top, left, width, height.
RECT Fields(const Tarnavel& app)
{
    long number[4] = {};
    const int ids[4] = {IDC_EDIT_TOP, IDC_EDIT_LEFT, IDC_EDIT_WIDTH, IDC_EDIT_HEIGHT};
    for (int i = 0; i < 4; ++i)
        number[i] = std::wcstol(app.Text(ids[i]).c_str(), nullptr, 10);
    return {number[1], number[0], number[1] + number[2], number[0] + number[3]};
}

::testing::AssertionResult Near(const RECT& expected, const RECT& got, long slack)
{
    if (std::labs(expected.left - got.left) <= slack && std::labs(expected.top - got.top) <= slack &&
        std::labs(expected.right - got.right) <= slack && std::labs(expected.bottom - got.bottom) <= slack)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected left " << expected.left << ", top " << expected.top
                                         << ", right " << expected.right << ", bottom " << expected.bottom
                                         << " within " << slack << "; got " << got.left << ", " << got.top << ", "
                                         << got.right << ", " << got.bottom;
}

// ---- The tests ------------------------------------------------------------------

TEST(Startup, MainDialogHasCaptionAndThreeEntryMenuBar)
{
    Tarnavel app;
    ASSERT_TRUE(Started(app));
    EXPECT_EQ(std::wstring(MAIN_CAPTION), TitleOf(app.Dialog()));

    HMENU bar = GetMenu(app.Dialog());
    ASSERT_NE(nullptr, bar);
    std::vector<MenuEntry> entries;
    if (!ReadMenuBar(bar, entries)) {
        ::testing::Test::RecordProperty("menu_bar_read_from", "program file");
        ASSERT_TRUE(ReadMenuBarFromProgramFile(entries));
    }
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ(L"&File", entries[0].text);
    EXPECT_TRUE(entries[0].opensPopup);
    EXPECT_EQ(L"&Options", entries[1].text);
    EXPECT_TRUE(entries[1].opensPopup);
    // About is a command on the bar itself, opening no pop-up.
    EXPECT_EQ(L"About", entries[2].text);
    EXPECT_FALSE(entries[2].opensPopup);
    EXPECT_EQ(static_cast<UINT>(ID_HELP_ABOUT), entries[2].commandId);

    EXPECT_TRUE(Exited(app));
}

TEST(Startup, FileExitEndsTheProcess)
{
    Tarnavel app;
    ASSERT_TRUE(Started(app));
    HWND dialog = app.Dialog();
    EXPECT_TRUE(Exited(app));
    EXPECT_FALSE(IsWindow(dialog));
}

TEST(Listing, RefreshListsVisibleAndHiddenFixtures)
{
    Tarnavel app;
    ASSERT_TRUE(Started(app));
    std::wstring shownTitle = UniqueTitle(L"shown");
    std::wstring hiddenTitle = UniqueTitle(L"hidden");
    FixtureWindow shown(shownTitle, true);
    FixtureWindow hidden(hiddenTitle, false);
    ASSERT_TRUE(shown.Handle() && hidden.Handle());

    ASSERT_TRUE(app.Refresh());
    EXPECT_GE(app.RowOf(shownTitle), 0) << Listing(app);
    EXPECT_GE(app.RowOf(hiddenTitle + HIDDEN_SUFFIX), 0) << Listing(app);
    EXPECT_EQ(-1, app.RowOf(hiddenTitle)) << Listing(app);

    EXPECT_TRUE(Exited(app));
}

TEST(ShowState, HideThenRestoreKeepsRowAndSelection)
{
    Tarnavel app;
    ASSERT_TRUE(Started(app));
    std::wstring title = UniqueTitle(L"hide me");
    FixtureWindow fixture(title, true);
    ASSERT_TRUE(app.Refresh());
    int row = app.RowOf(title);
    ASSERT_GE(row, 0) << Listing(app);
    ASSERT_TRUE(app.Select(row));

    ASSERT_TRUE(app.Command(IDC_HIDE));
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(fixture.Handle()));
    EXPECT_EQ(title + HIDDEN_SUFFIX, app.Row(row));
    EXPECT_EQ(row, app.SelectedRow());

    ASSERT_TRUE(app.Command(IDC_RESTORE));
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(fixture.Handle()));
    EXPECT_EQ(title, app.Row(row));
    EXPECT_EQ(row, app.SelectedRow());

    EXPECT_TRUE(Exited(app));
}

TEST(Steps, UpAndWiderMoveTheWindowAndShowItsNewRectangle)
{
    Tarnavel app;
    ASSERT_TRUE(Started(app));
    std::wstring title = UniqueTitle(L"nudge me");
    FixtureWindow fixture(title, true, 200, 150, 300, 200);
    ASSERT_TRUE(app.Refresh());
    int row = app.RowOf(title);
    ASSERT_GE(row, 0) << Listing(app);
    ASSERT_TRUE(app.Select(row));
    RECT start = {};
    GetWindowRect(fixture.Handle(), &start);

    ASSERT_TRUE(app.Command(IDC_MOVE_UP));
    PumpMessages();
    RECT up = {start.left, start.top - 1, start.right, start.bottom - 1};
    EXPECT_TRUE(HasRect(fixture.Handle(), up));
    EXPECT_TRUE(Near(up, Fields(app), 0));

    ASSERT_TRUE(app.Command(IDC_WIDER));
    PumpMessages();
    RECT wider = {up.left, up.top, up.right + 1, up.bottom};
    EXPECT_TRUE(HasRect(fixture.Handle(), wider));
    EXPECT_TRUE(Near(wider, Fields(app), 0));

    EXPECT_TRUE(Exited(app));
}

// Windows lost as users lose them, each brought back by a command, to be shown normally
// where asked and to stay there when next restored. They are this process's windows,
// another program's to Tarnavel.
enum LostAs { MINIMIZED, MAXIMIZED, MAXIMIZED_THEN_MINIMIZED, HIDDEN_OFF_SCREEN, HIDDEN_PARTLY_ON_SCREEN };
// Where the window ends: where typed (70, 60, 310 x 210), where it was shown normally or
// where it stood, moved up by 1, or the work area's bottom right corner.
enum Ends { TYPED, NORMAL, NORMAL_UP, STANDING_UP, WORK_AREA_CORNER };

struct LostCase {
    const char* name;
    LostAs lost;
    WORD command;
    Ends ends;
};

const LostCase LOST_CASES[] = {
    {"SetPositionOnMinimized", MINIMIZED, IDC_SET_POSITION, TYPED},
    {"SetPositionOnMaximized", MAXIMIZED, IDC_SET_POSITION, TYPED},
    {"SetPositionOnMinimizedFromMaximized", MAXIMIZED_THEN_MINIMIZED, IDC_SET_POSITION, TYPED},
    {"UpOnMinimized", MINIMIZED, IDC_MOVE_UP, NORMAL_UP},
    {"UpOnMaximized", MAXIMIZED, IDC_MOVE_UP, STANDING_UP},
    {"RestoreOffEveryScreen", HIDDEN_OFF_SCREEN, IDC_RESTORE, WORK_AREA_CORNER},
    {"RestorePartlyOnScreen", HIDDEN_PARTLY_ON_SCREEN, IDC_RESTORE, NORMAL},
};

class LostWindow : public ::testing::TestWithParam<LostCase> {};

TEST_P(LostWindow, ComesBackShownNormallyWhereAskedAndStaysThere)
{
    const LostCase& c = GetParam();
    MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const RECT& w = monitor.rcWork;
    bool hidden = c.lost == HIDDEN_OFF_SCREEN || c.lost == HIDDEN_PARTLY_ON_SCREEN;
    RECT n = c.lost == HIDDEN_OFF_SCREEN          ? RECT{w.right + 3000, w.bottom + 2000, w.right + 3300, w.bottom + 2200}
             : c.lost == HIDDEN_PARTLY_ON_SCREEN ? RECT{w.right - 100, 100, w.right + 200, 300}
                                                 : RECT{200, 150, 500, 350};
    std::wstring title = UniqueTitle(L"lost");
    FixtureWindow fixture(title, !hidden, n.left, n.top, n.right - n.left, n.bottom - n.top);
    HWND window = fixture.Handle();
    if (c.lost == MAXIMIZED || c.lost == MAXIMIZED_THEN_MINIMIZED)
        ShowWindow(window, SW_MAXIMIZE);
    if (c.lost == MINIMIZED || c.lost == MAXIMIZED_THEN_MINIMIZED)
        ShowWindow(window, SW_SHOWMINNOACTIVE);
    RECT s;
    GetWindowRect(window, &s);
    const RECT ends[] = {{70, 60, 380, 270}, n, {n.left, n.top - 1, n.right, n.bottom - 1},
                         {s.left, s.top - 1, s.right, s.bottom - 1},
                         {w.right - 300, w.bottom - 200, w.right, w.bottom}};

    Tarnavel app;
    ASSERT_TRUE(Started(app));
    ASSERT_TRUE(app.Select(app.RowOf(hidden ? title + HIDDEN_SUFFIX : title))) << Listing(app);
    const std::pair<int, const wchar_t*> typed[] = {
        {IDC_EDIT_TOP, L"60"}, {IDC_EDIT_LEFT, L"70"}, {IDC_EDIT_WIDTH, L"310"}, {IDC_EDIT_HEIGHT, L"210"}};
    for (const auto& field : typed)
        ASSERT_TRUE(Send(GetDlgItem(app.Dialog(), field.first), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(field.second)));
    ASSERT_TRUE(app.Command(c.command));
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(window) && !IsIconic(window) && !IsZoomed(window));
    EXPECT_TRUE(HasRect(window, ends[c.ends]));
    EXPECT_TRUE(Near(ends[c.ends], Fields(app), 0));
    // A step does not activate the window; Set Position and Restore may.
    EXPECT_TRUE(c.command == IDC_SET_POSITION || c.command == IDC_RESTORE || GetForegroundWindow() != window);
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_RESTORE);
    EXPECT_TRUE(HasRect(window, ends[c.ends])) << "once minimized and restored";
    EXPECT_TRUE(Exited(app));
}

INSTANTIATE_TEST_SUITE_P(EachLoss, LostWindow, ::testing::ValuesIn(LOST_CASES),
                         [](const ::testing::TestParamInfo<LostCase>& info) { return std::string(info.param.name); });

TEST(AutoRefresh, SwitchedOnInItsDialogListsANewWindowUnasked)
{
    Tarnavel app;
    ASSERT_TRUE(Started(app));
    bool stayedHidden = false;
    ASSERT_TRUE(app.SetAutoRefresh(true, L"300", START_TIMEOUT_MS, &stayedHidden)) << app.Error();
    ASSERT_FALSE(stayedHidden) << app.Error();

    std::wstring title = UniqueTitle(L"arrives later");
    FixtureWindow fixture(title, true);
    // Nothing here asks for a refresh: only the periodic rebuild can list the window.
    EXPECT_TRUE(PumpUntil([&] { return app.RowOf(title) >= 0; }, AUTO_REFRESH_CEILING_MS)) << Listing(app);

    EXPECT_TRUE(Exited(app));
}

// The second title's emoji (bytes 253 to 256) does not fit in the 254 bytes that a read
// keeps, and it is read just after a longer title, whose bytes must not show through
// where the cut falls. The count printed says where the window system cut it: run on
// Windows, its own cut.
TEST(Unicode, TitlesInSeveralScriptsAreListedExactlyAndACutOneKeepsOnlyItsOwn)
{
    Tarnavel app;
    ASSERT_TRUE(Started(app));
    // Cyrillic, Chinese, an accented Latin letter and an emoji outside the BMP.
    const std::wstring title = L"\u041F\u0440\u0438\u0432\u0435\u0442 \u4F60\u597D caf\u00E9 \U0001F389";
    FixtureWindow fixture(title, true);
    ASSERT_EQ(title, TitleOf(fixture.Handle()));
    const std::wstring own(252, L'a');
    FixtureWindow cut(own + L"\U0001F389", true);
    FixtureWindow longer(std::wstring(260, L'h'), true);
    SetWindowPos(cut.Handle(), longer.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    ASSERT_TRUE(app.Refresh());
    EXPECT_GE(app.RowOf(title), 0) << Listing(app);
    std::wstring row;
    for (const std::wstring& listed : app.Rows())
        if (listed.compare(0, 16, own, 0, 16) == 0)
            row = listed;
    std::printf("the cut title is listed as %u characters\n", static_cast<unsigned>(row.size()));
    EXPECT_FALSE(row.empty()) << Listing(app);
    EXPECT_EQ(std::wstring::npos, row.find_first_not_of(L'a'))
        << "it ends in " << Utf8(row.substr(row.size() - std::min<size_t>(row.size(), 12)));

    EXPECT_TRUE(Exited(app));
}

// Tarnavel with the stuck program's row selected, the window still answering.
class UnansweringWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, stuck.Window());
        ASSERT_TRUE(Started(app));
        row = app.RowOf(title);
        ASSERT_GE(row, 0) << Listing(app);
        ASSERT_TRUE(app.Select(row));
    }

    std::wstring title = UniqueTitle(L"stuck");
    StuckProgram stuck{title};
    Tarnavel app;
    int row = -1;
};

TEST_F(UnansweringWindow, CommandsReturnAtOnceAndTarnavelStaysUsable)
{
    ASSERT_TRUE(stuck.StopAnswering());
    // The placement is the request still under way at the exit below.
    EXPECT_TRUE(ReturnsAtOnce(app, IDC_SET_POSITION));
    EXPECT_TRUE(ReturnsAtOnce(app, IDC_MINIMIZE));
    EXPECT_TRUE(ReturnsAtOnce(app, IDC_MOVE_UP));
    EXPECT_EQ(L"Unknown", app.Text(IDC_WINDOW_STATUS));
    EXPECT_TRUE(app.Refresh(5000)) << "a refresh was not answered";
    EXPECT_TRUE(Exited(app)) << "while the window was still stuck";
}

TEST_F(UnansweringWindow, AHideMadeWhileItHangsTakesEffectWhenItRecovers)
{
    ASSERT_TRUE(stuck.StopAnswering());
    EXPECT_TRUE(ReturnsAtOnce(app, IDC_HIDE));
    EXPECT_EQ(L"Unknown", app.Text(IDC_WINDOW_STATUS));
    EXPECT_EQ(title, app.Row(row)) << "the row claims what the window has not done";

    stuck.Recover();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(stuck.Window()); }, START_TIMEOUT_MS));
    ASSERT_TRUE(app.Refresh());
    EXPECT_GE(app.RowOf(title + HIDDEN_SUFFIX), 0) << Listing(app);
    EXPECT_TRUE(Exited(app));
}

// This one is for the Windows run. There the hide runs on a helper thread of Tarnavel,
// which its exit ends midway unless the request was handed to the window's own thread;
// under Wine the helper's call is one message already queued there, and it passes
// either way.
TEST_F(UnansweringWindow, AHideStillUnderWayAtExitTakesEffectWhenItRecovers)
{
    ASSERT_TRUE(stuck.StopAnswering());
    EXPECT_TRUE(ReturnsAtOnce(app, IDC_HIDE));
    EXPECT_TRUE(Exited(app));
    stuck.Recover();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(stuck.Window()); }, START_TIMEOUT_MS));
}

TEST(SecondStartUp, SentByAnotherProgramChangesNothing)
{
    Tarnavel app;
    ASSERT_TRUE(Started(app));
    std::vector<std::wstring> rows = app.Rows();
    std::vector<DWORD> threads = ThreadIds(app.ProcessId());
    ASSERT_TRUE(Send(app.Dialog(), WM_INITDIALOG, 0, 0));
    EXPECT_EQ(rows, app.Rows());
    EXPECT_EQ(ThreadsSince(threads, app.ProcessId()), std::vector<DWORD>()) << "a second worker was started";
    EXPECT_TRUE(Exited(app));
}

}  // namespace
