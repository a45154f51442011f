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

#include <functional>
#include <string>
#include <vector>

namespace {

const wchar_t MAIN_CAPTION[] = L"Tarnavel";
const wchar_t HIDDEN_SUFFIX[] = L"               (HIDDEN)";
const UINT WMU_REFRESH = WM_USER + 100;

const int IDC_WINDOW_LIST = 1001;
const int IDC_HIDE = 1002;
const int IDC_RESTORE = 1003;
const int IDC_EDIT_TOP = 1010;
const int IDC_EDIT_LEFT = 1011;
const int IDC_EDIT_WIDTH = 1013;
const int IDC_EDIT_HEIGHT = 1014;
const int IDC_MOVE_UP = 1020;
const int IDC_WIDER = 1028;
const WORD ID_FILE_EXIT = 40001;
const WORD ID_OPTIONS_REFRESH_RATE = 40007;
const UINT ID_HELP_ABOUT = 40010;
const WORD IDR_MAIN_MENU = 104;

const int IDC_AUTO_REFRESH_ON = 1026;
const int IDC_REFRESH_INTERVAL = 1027;
const int IDC_OK_BUTTON = 1022;

const DWORD START_TIMEOUT_MS = 20000;
const UINT SEND_TIMEOUT_MS = 10000;
const DWORD EXIT_TIMEOUT_MS = 2000;

// ---- Waiting while this thread's windows keep answering ------------------------

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& predicate, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (predicate())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        DWORD slice = timeoutMs - elapsed < 20 ? timeoutMs - elapsed : 20;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
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

// A message to the other process; false when it did not answer in time.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr)
{
    DWORD_PTR answer = 0;
    bool answered = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, SEND_TIMEOUT_MS, &answer) != 0;
    if (result)
        *result = static_cast<LRESULT>(answer);
    return answered;
}

std::wstring TitleOf(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring title(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &title[0], length + 1);
    title.resize(static_cast<size_t>(got > 0 ? got : 0));
    return title;
}

// A control's text read from the other process; WM_GETTEXT is marshalled there.
std::wstring ControlText(HWND control)
{
    LRESULT length = 0;
    if (!Send(control, WM_GETTEXTLENGTH, 0, 0, &length) || length < 0)
        return L"<no answer>";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got = 0;
    if (!Send(control, WM_GETTEXT, static_cast<WPARAM>(length) + 1, reinterpret_cast<LPARAM>(&text[0]), &got))
        return L"<no answer>";
    text.resize(static_cast<size_t>(got));
    return text;
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchProcessAndCaption(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window) && TitleOf(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindWindowOf(DWORD processId, const wchar_t* caption)
{
    WindowSearch search = {processId, caption, nullptr};
    EnumWindows(MatchProcessAndCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

::testing::AssertionResult HasRect(HWND window, const RECT& expected)
{
    RECT actual = {};
    GetWindowRect(window, &actual);
    if (EqualRect(&actual, &expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected left " << expected.left << ", top " << expected.top << ", width "
           << expected.right - expected.left << ", height " << expected.bottom - expected.top << "; got left "
           << actual.left << ", top " << actual.top << ", width " << actual.right - actual.left << ", height "
           << actual.bottom - actual.top;
}

// ---- Fixture windows, owned by this thread --------------------------------------

const wchar_t FIXTURE_CLASS[] = L"TarnavelEndToEndFixture";

class FixtureWindow {
public:
    FixtureWindow(const std::wstring& title, bool visible, int x = 200, int y = 150, int width = 300, int height = 200)
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = DefWindowProcW;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            windowClass.lpszClassName = FIXTURE_CLASS;
            RegisterClassW(&windowClass);
            registered = true;
        }
        window = CreateWindowExW(0, FIXTURE_CLASS, title.c_str(), WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), x,
                                 y, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        PumpMessages();
    }
    ~FixtureWindow()
    {
        if (window)
            DestroyWindow(window);
    }
    FixtureWindow(const FixtureWindow&) = delete;
    FixtureWindow& operator=(const FixtureWindow&) = delete;
    HWND Handle() const { return window; }

private:
    HWND window = nullptr;
};

// A title no other window has, so that exactly one row can match it.
std::wstring UniqueTitle(const wchar_t* what)
{
    static int counter = 0;
    return std::wstring(L"Tarnavel e2e ") + what + L" " + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

// ---- The program under test -----------------------------------------------------

// Where tarnavel.exe is: TARNAVEL_EXE, which CTest gives as a Unix path under the Z:
// drive, or else beside the build's root, two levels above this test.
std::wstring ProgramPath()
{
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableW(L"TARNAVEL_EXE", buffer, MAX_PATH * 2);
    std::wstring path;
    if (length > 0 && length < MAX_PATH * 2) {
        path = buffer;
    } else {
        GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
        path = buffer;
        path = path.substr(0, path.find_last_of(L"\\/")) + L"\\..\\..\\tarnavel.exe";
    }
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

class Tarnavel {
public:
    Tarnavel()
    {
        std::wstring path = ProgramPath();
        std::wstring commandLine = L"\"" + path + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            startError = L"CreateProcess failed for " + path + L", error " + std::to_wstring(GetLastError());
            return;
        }
        PumpUntil([this] { return (dialog = FindWindowOf(process.dwProcessId, MAIN_CAPTION)) != nullptr; },
                  START_TIMEOUT_MS);
        if (!dialog) {
            startError = L"no main dialog appeared";
            return;
        }
        list = GetDlgItem(dialog, IDC_WINDOW_LIST);
        // The list is filled at the end of the dialog's start-up, after its animation.
        LRESULT count = 0;
        PumpUntil([&] { return Send(list, LB_GETCOUNT, 0, 0, &count) && count > 0; }, START_TIMEOUT_MS);
        if (count <= 0)
            startError = L"the list stayed empty";
    }

    ~Tarnavel()
    {
        if (process.hProcess) {
            if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
                TerminateProcess(process.hProcess, 1);
                WaitForSingleObject(process.hProcess, 5000);
            }
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }

    Tarnavel(const Tarnavel&) = delete;
    Tarnavel& operator=(const Tarnavel&) = delete;

    ::testing::AssertionResult Started() const
    {
        if (startError.empty())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << Narrow(startError);
    }

    HWND Dialog() const { return dialog; }
    HWND List() const { return list; }
    DWORD ProcessId() const { return process.dwProcessId; }

    // A button or menu command, as a click delivers it.
    bool Command(WORD id) const
    {
        return Send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    bool Refresh() const { return Send(dialog, WMU_REFRESH, 0, 0); }

    std::wstring Row(int row) const
    {
        LRESULT length = 0;
        if (!Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0, &length) || length < 0)
            return L"<no row>";
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        LRESULT got = 0;
        if (!Send(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text[0]), &got) || got < 0)
            return L"<no row>";
        text.resize(static_cast<size_t>(got));
        return text;
    }

    std::vector<std::wstring> Rows() const
    {
        LRESULT count = 0;
        Send(list, LB_GETCOUNT, 0, 0, &count);
        std::vector<std::wstring> rows;
        for (int row = 0; row < count; ++row)
            rows.push_back(Row(row));
        return rows;
    }

    int RowOf(const std::wstring& text) const
    {
        std::vector<std::wstring> rows = Rows();
        for (size_t row = 0; row < rows.size(); ++row)
            if (rows[row] == text)
                return static_cast<int>(row);
        return -1;
    }

    int SelectedRow() const
    {
        LRESULT row = LB_ERR;
        Send(list, LB_GETCURSEL, 0, 0, &row);
        return static_cast<int>(row);
    }

    // Selects as a click does: the selection, then the list's notification.
    bool Select(int row) const
    {
        LRESULT result = LB_ERR;
        return Send(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0, &result) && result == row &&
               Send(dialog, WM_COMMAND, MAKEWPARAM(IDC_WINDOW_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }

    std::wstring Text(int controlId) const { return ControlText(GetDlgItem(dialog, controlId)); }

    // File > Exit; the process must be gone within two seconds.
    ::testing::AssertionResult Exit()
    {
        if (!Send(dialog, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0))
            return ::testing::AssertionFailure() << "File > Exit was not answered";
        if (!WaitPumping(process.hProcess, EXIT_TIMEOUT_MS))
            return ::testing::AssertionFailure() << "the process was still running 2 s after File > Exit";
        return ::testing::AssertionSuccess();
    }

    static std::string Narrow(const std::wstring& text)
    {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string narrow(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &narrow[0], bytes, nullptr, nullptr);
        narrow.resize(narrow.size() - 1);
        return narrow;
    }

private:
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr;
    HWND list = nullptr;
    std::wstring startError;
};

// The rows, one a line, for failure messages.
std::string Listing(const Tarnavel& app)
{
    std::string text = "rows:";
    for (const std::wstring& row : app.Rows())
        text += "\n  [" + Tarnavel::Narrow(row) + "]";
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

// ---- The tests ------------------------------------------------------------------

TEST(Startup, MainDialogHasCaptionAndThreeEntryMenuBar)
{
    Tarnavel app;
    ASSERT_TRUE(app.Started());
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
    EXPECT_EQ(ID_HELP_ABOUT, entries[2].commandId);

    EXPECT_TRUE(app.Exit());
}

TEST(Startup, FileExitEndsTheProcess)
{
    Tarnavel app;
    ASSERT_TRUE(app.Started());
    EXPECT_TRUE(app.Exit());
    EXPECT_FALSE(IsWindow(app.Dialog()));
}

TEST(Listing, RefreshListsVisibleAndHiddenFixtures)
{
    Tarnavel app;
    ASSERT_TRUE(app.Started());
    std::wstring shownTitle = UniqueTitle(L"shown");
    std::wstring hiddenTitle = UniqueTitle(L"hidden");
    FixtureWindow shown(shownTitle, true);
    FixtureWindow hidden(hiddenTitle, false);
    ASSERT_TRUE(shown.Handle() && hidden.Handle());

    ASSERT_TRUE(app.Refresh());
    EXPECT_GE(app.RowOf(shownTitle), 0) << Listing(app);
    EXPECT_GE(app.RowOf(hiddenTitle + HIDDEN_SUFFIX), 0) << Listing(app);
    EXPECT_EQ(-1, app.RowOf(hiddenTitle)) << Listing(app);

    EXPECT_TRUE(app.Exit());
}

TEST(ShowState, HideThenRestoreKeepsRowAndSelection)
{
    Tarnavel app;
    ASSERT_TRUE(app.Started());
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

    EXPECT_TRUE(app.Exit());
}

TEST(Steps, UpAndWiderMoveTheWindowAndShowItsNewRectangle)
{
    Tarnavel app;
    ASSERT_TRUE(app.Started());
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
    EXPECT_EQ(std::to_wstring(up.top), app.Text(IDC_EDIT_TOP));
    EXPECT_EQ(std::to_wstring(up.left), app.Text(IDC_EDIT_LEFT));
    EXPECT_EQ(std::to_wstring(up.right - up.left), app.Text(IDC_EDIT_WIDTH));
    EXPECT_EQ(std::to_wstring(up.bottom - up.top), app.Text(IDC_EDIT_HEIGHT));

    ASSERT_TRUE(app.Command(IDC_WIDER));
    PumpMessages();
    RECT wider = {up.left, up.top, up.right + 1, up.bottom};
    EXPECT_TRUE(HasRect(fixture.Handle(), wider));
    EXPECT_EQ(std::to_wstring(wider.top), app.Text(IDC_EDIT_TOP));
    EXPECT_EQ(std::to_wstring(wider.left), app.Text(IDC_EDIT_LEFT));
    EXPECT_EQ(std::to_wstring(wider.right - wider.left), app.Text(IDC_EDIT_WIDTH));
    EXPECT_EQ(std::to_wstring(wider.bottom - wider.top), app.Text(IDC_EDIT_HEIGHT));

    EXPECT_TRUE(app.Exit());
}

TEST(AutoRefresh, SwitchedOnInItsDialogListsANewWindowUnasked)
{
    Tarnavel app;
    ASSERT_TRUE(app.Started());
    // Posted: the dialog runs modally inside the command, which a send would wait out.
    ASSERT_TRUE(PostMessageW(app.Dialog(), WM_COMMAND, MAKEWPARAM(ID_OPTIONS_REFRESH_RATE, 0), 0));
    HWND settings = nullptr;
    PumpUntil([&] { return (settings = FindWindowOf(app.ProcessId(), L"Auto Refresh")) != nullptr; },
              START_TIMEOUT_MS);
    ASSERT_NE(nullptr, settings);
    ASSERT_TRUE(Send(GetDlgItem(settings, IDC_AUTO_REFRESH_ON), BM_SETCHECK, BST_CHECKED, 0));
    ASSERT_TRUE(Send(GetDlgItem(settings, IDC_REFRESH_INTERVAL), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"300")));
    ASSERT_TRUE(Send(settings, WM_COMMAND, MAKEWPARAM(IDC_OK_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(settings, IDC_OK_BUTTON))));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(settings); }, 5000));

    std::wstring title = UniqueTitle(L"arrives later");
    FixtureWindow fixture(title, true);
    EXPECT_TRUE(PumpUntil([&] { return app.RowOf(title) >= 0; }, 2000)) << Listing(app);

    EXPECT_TRUE(app.Exit());
}

TEST(Unicode, TitleInSeveralScriptsIsListedExactly)
{
    Tarnavel app;
    ASSERT_TRUE(app.Started());
    // Cyrillic, Chinese, an accented Latin letter and an emoji outside the BMP.
    const std::wstring title = L"\u041F\u0440\u0438\u0432\u0435\u0442 \u4F60\u597D caf\u00E9 \U0001F389";
    FixtureWindow fixture(title, true);
    ASSERT_EQ(title, TitleOf(fixture.Handle()));

    ASSERT_TRUE(app.Refresh());
    EXPECT_GE(app.RowOf(title), 0) << Listing(app);

    EXPECT_TRUE(app.Exit());
}

}  // namespace
