// The window a command acts on is the one its row names, whatever other programs send
// the dialog or its list, and whatever order the desktop's windows take between rebuilds.
#include "harness.h"

#include <atomic>
#include <string>

#include "app/program_state.h"
#include "catalogue/catalogue.h"
#include "resources/resource.h"

namespace {

const std::string SUFFIX = "               (HIDDEN)";

// Fails LB_INSERTSTRING while set, as a list short of memory would.
bool failInsert;
WNDPROC listProc;

LRESULT CALLBACK FailingListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == LB_INSERTSTRING && failInsert)
        return LB_ERRSPACE;
    return CallWindowProcA(listProc, list, message, wParam, lParam);
}

// Closes any small dialog that a test's command managed to open, and counts it.
int smallDialogsOpened;

void CALLBACK CloseSmallDialogs(HWND, UINT, UINT_PTR, DWORD)
{
    for (const char* caption : {"About Tarnavel", "Filters"}) {
        if (HWND opened = FindWindowA(nullptr, caption)) {
            ++smallDialogsOpened;
            SendMessageA(opened, WM_CLOSE, 0, 0);
        }
    }
}

}  // namespace

TEST(SecondStartUp, AtRestOrFromAnotherThreadChangesNothing)
{
    HWND window = CreateFixture("Second start-up", true);
    MainDialog dialog;
    std::vector<std::string> rows = dialog.Rows();
    HANDLE worker = workerThread;
    SendMessageA(dialog.Handle(), WM_INITDIALOG, 0, 0);
    WindowThread other;
    other.Run([&] { SendMessageA(dialog.Handle(), WM_INITDIALOG, 0, 0); });
    PumpMessages();
    EXPECT_EQ(dialog.Rows(), rows);
    EXPECT_TRUE(RowsMatchEntries(dialog));
    EXPECT_EQ(workerThread, worker) << "a second worker was started";
    DestroyWindow(window);
}

TEST(RowsOutOfStep, ARowRemovedFromOutsideLeavesEveryWindowUntouched)
{
    HWND target = CreateFixture("Out of step target", true, 30, 40, 300, 200);
    MainDialog dialog;
    int row = dialog.RowOf("Out of step target");
    ASSERT_GE(row, 1);
    HWND above = LookupEntry(row - 1)->GetHandle();
    SendMessageA(dialog.List(), LB_DELETESTRING, row - 1, 0);
    // The row that now reads "Out of step target" is the entry of the window above it.
    SendMessageA(dialog.List(), LB_SETCURSEL, row - 1, 0);
    dialog.Command(IDC_MINIMIZE);
    EXPECT_FALSE(IsIconic(above)) << "the command acted on a window no row named";
    EXPECT_FALSE(IsIconic(target));
    EXPECT_TRUE(RowsMatchEntries(dialog)) << "no rebuild put rows and entries back in step";
    EXPECT_EQ(dialog.SelectedRow(), dialog.RowOf("Out of step target")) << "the clicked window is not selected again";
    EXPECT_EQ(dialog.Text(IDC_WINDOW_NAME), "Out of step target");
    // Only the repair selects by window: a later refresh keeps the row number again.
    SendMessageA(dialog.List(), LB_SETCURSEL, 0, 0);
    dialog.Refresh();
    EXPECT_EQ(dialog.SelectedRow(), 0) << "the refresh went back to the repaired row's window";
    DestroyWindow(target);
}

TEST(RowsOutOfStep, ARowTheListCannotTakeBackEndsInARebuild)
{
    HWND window = CreateFixture("Insert fails", true);
    MainDialog dialog;
    ASSERT_GE(dialog.Select("Insert fails"), 0);
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(dialog.List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FailingListProc)));
    failInsert = true;
    dialog.Command(IDC_HIDE);
    failInsert = false;
    SetWindowLongPtrA(dialog.List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(RowsMatchEntries(dialog));
    EXPECT_GE(dialog.RowOf("Insert fails" + SUFFIX), 0);
    DestroyWindow(window);
}

TEST(DetailsAfterRefresh, NameTheWindowOfTheSelectedRowAndKeepTypedNumbersForTheSameOne)
{
    HWND first = CreateFixture("Details first", true);
    HWND second = CreateFixture("Details second", true);
    MainDialog dialog;
    bool firstAbove = dialog.RowOf("Details first") < dialog.RowOf("Details second");
    std::string upperTitle = firstAbove ? "Details first" : "Details second";
    HWND lower = firstAbove ? second : first;
    int row = dialog.Select(upperTitle);
    ASSERT_GE(row, 0);
    dialog.SetText(IDC_EDIT_TOP, "123");
    dialog.Refresh();
    EXPECT_EQ(dialog.Text(IDC_EDIT_TOP), "123") << "the same window's typed numbers were overwritten";

    // Raising the lower window moves the selected one a row down.
    SetWindowPos(lower, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    dialog.Refresh();
    ASSERT_EQ(dialog.SelectedRow(), row);
    EXPECT_NE(dialog.Rows()[row], upperTitle);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_NAME), dialog.Rows()[row]) << "the details name another window than the buttons";
    EXPECT_NE(dialog.Text(IDC_EDIT_TOP), "123");
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST(DetailsAfterRefresh, ShowHowTheSameWindowIsListedNow)
{
    HWND window = CreateFixture("Hides to the tray", true);
    MainDialog dialog;
    int row = dialog.Select("Hides to the tray");
    ASSERT_GE(row, 0);
    dialog.SetText(IDC_EDIT_TOP, "123");
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    dialog.Refresh();
    ASSERT_EQ(dialog.Rows()[row], "Hides to the tray" + SUFFIX);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_NAME), "Hides to the tray" + SUFFIX);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Hidden");
    EXPECT_FALSE(dialog.Enabled(IDC_HIDE));
    EXPECT_TRUE(dialog.Enabled(IDC_RESTORE));
    EXPECT_EQ(dialog.Text(IDC_EDIT_TOP), "123");
    DestroyWindow(window);
}

TEST(SmallDialogs, NoneOpensInsideARebuildOrACommand)
{
    WindowThread other;
    HWND window = nullptr;
    other.Run([&] { window = CreateFixture("Small dialog trigger", true); });
    MainDialog dialog;
    ASSERT_GE(dialog.Select("Small dialog trigger"), 0);
    std::atomic<UINT> message{WM_GETTEXT};  // read by a rebuild; then WM_WINDOWPOSCHANGING, sent by Hide
    SetFixtureHook([&](HWND target, UINT received, WPARAM, LPARAM) {
        if (target == window && received == message) {
            message = 0;
            SendMessageA(dialog.Handle(), WM_COMMAND, ID_HELP_ABOUT, 0);
            SendMessageA(dialog.Handle(), WM_COMMAND, ID_OPTIONS_FILTERS, 0);
        }
    });
    smallDialogsOpened = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseSmallDialogs);
    dialog.Refresh();
    EXPECT_EQ(message, 0u);
    message = WM_WINDOWPOSCHANGING;
    dialog.Command(IDC_HIDE);
    EXPECT_EQ(message, 0u);
    KillTimer(nullptr, timer);
    SetFixtureHook(nullptr);
    EXPECT_EQ(smallDialogsOpened, 0);
    other.Run([&] { DestroyWindow(window); });
}
