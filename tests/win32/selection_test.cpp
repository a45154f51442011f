// The selected window's details, and Hide, Restore, Minimize, Maximize and Set Position.
#include "harness.h"

#include <algorithm>
#include <memory>
#include <string>

#include "app/program_state.h"
#include "catalogue/catalogue.h"
#include "resources/resource.h"

namespace {

const std::string SUFFIX = "               (HIDDEN)";


// Everything a command that stops early must leave alone.
struct DialogSnapshot {
    explicit DialogSnapshot(const MainDialog& dialog)
        : rows(dialog.Rows()), selected(dialog.SelectedRow()), name(dialog.Text(IDC_WINDOW_NAME)),
          status(dialog.Text(IDC_WINDOW_STATUS)), top(dialog.Text(IDC_EDIT_TOP)), hide(dialog.Enabled(IDC_HIDE)),
          restore(dialog.Enabled(IDC_RESTORE))
    {
    }
    bool operator==(const DialogSnapshot& o) const
    {
        return rows == o.rows && selected == o.selected && name == o.name && status == o.status && top == o.top
               && hide == o.hide && restore == o.restore;
    }
    std::vector<std::string> rows;
    int selected;
    std::string name, status, top;
    bool hide, restore;
};

void ExpectButtonsForVisible(const MainDialog& dialog)
{
    EXPECT_TRUE(dialog.Enabled(IDC_HIDE));
    EXPECT_FALSE(dialog.Enabled(IDC_RESTORE));
}

// A framed window is created no wider than the window system lets one be dragged:
// the desktop and the frame's two borders, whatever width was asked for.
int WidthAFrameCanHave(int width)
{
    return std::min(width, GetSystemMetrics(SM_CXMAXTRACK));
}

// A minimized window's own rectangle is its icon's: the fields show where it comes back.
// A maximized one's show where it stands.
void ExpectFieldsShowWhereItComesBack(int showCommand, bool toolWindow)
{
    HWND window = CreateFixture("Lost fixture", true, 100, 200, 640, 480);
    if (toolWindow)
        SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    ShowWindow(window, showCommand);
    RECT r = {100, 200, 740, 680};
    if (showCommand == SW_MAXIMIZE)
        GetWindowRect(window, &r);
    MainDialog dialog;
    ASSERT_GE(dialog.Select("Lost fixture"), 0);
    EXPECT_TRUE(FieldsRead(dialog, r.top, r.left, r.right - r.left, r.bottom - r.top)) << "tool window " << toolWindow;
    DestroyWindow(window);
}

}  // namespace

TEST(SelectionDetails, ShowTheLiveRectangleAndTheStoredStatus)
{
    // Over the desktop's top and right edges, and wide: 1010, -20, 1234 x 300 at 1280x1024.
    const int left = GetSystemMetrics(SM_CXSCREEN) - 270, width = WidthAFrameCanHave(1234);
    HWND window = CreateFixture("Details fixture", true, left, -20, width, 300);
    MainDialog dialog;
    ASSERT_TRUE(HasRect(window, left, -20, width, 300));
    ShowWindow(window, SW_HIDE);  // behind the program's back, after the rebuild
    ASSERT_GE(dialog.Select("Details fixture"), 0);
    EXPECT_EQ(dialog.Text(IDC_EDIT_TOP), "-20");
    EXPECT_EQ(dialog.Text(IDC_EDIT_LEFT), std::to_string(left));
    EXPECT_EQ(dialog.Text(IDC_EDIT_WIDTH), std::to_string(width));
    EXPECT_EQ(dialog.Text(IDC_EDIT_HEIGHT), "300");
    EXPECT_EQ(dialog.Text(IDC_WINDOW_NAME), "Details fixture");
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Visible") << "the stored status, not the live one";
    ExpectButtonsForVisible(dialog);

    dialog.Command(IDC_HIDE);  // still acts on the entry it believes visible
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Hidden");
    EXPECT_GE(dialog.RowOf("Details fixture" + SUFFIX), 0);
    DestroyWindow(window);
}

TEST(SelectionDetails, ShowWhereAMinimizedWindowComesBackAndWhereAMaximizedOneStands)
{
    ExpectFieldsShowWhereItComesBack(SW_SHOWMINNOACTIVE, false);
    ExpectFieldsShowWhereItComesBack(SW_MAXIMIZE, false);
}

// Where a minimized window comes back is given in workspace coordinates, which start at
// the work area's corner, except for a tool window's: under a 40-pixel taskbar along the
// top, a window at (100, 200) comes back to workspace (100, 160).
TEST(SelectionDetails, WorkspaceCoordinatesAreShownAsScreenPixels)
{
    RECT kept, moved = {0, 40, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &kept, 0);
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &moved, 0);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    for (bool toolWindow : {false, true})
        if (monitor.rcWork.top == 40)
            ExpectFieldsShowWhereItComesBack(SW_SHOWMINNOACTIVE, toolWindow);
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &kept, 0);
    if (monitor.rcWork.top != 40)
        GTEST_SKIP() << "the work area cannot be made to start below the screen's corner here, as under Wine: "
                        "workspace coordinates are screen pixels, and only Windows can show the conversion";
}

TEST(SelectionDetails, AnyListNotificationShowsTheDetails)
{
    HWND window = CreateFixture("Notified fixture", false);
    MainDialog dialog;
    int row = dialog.RowOf("Notified fixture" + SUFFIX);
    ASSERT_GE(row, 0);
    SendMessageA(dialog.List(), LB_SETCURSEL, row, 0);
    dialog.Command(IDC_WINDOW_LIST, LBN_KILLFOCUS);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Hidden");
    EXPECT_FALSE(dialog.Enabled(IDC_HIDE));
    EXPECT_TRUE(dialog.Enabled(IDC_RESTORE));
    DestroyWindow(window);
}

TEST(SelectionDetails, RightAfterStartUpNothingIsShownAndBothButtonsAreEnabled)
{
    MainDialog dialog;
    EXPECT_EQ(dialog.SelectedRow(), 0);
    EXPECT_EQ(selectedIndex, 0);
    for (int id : {IDC_WINDOW_NAME, IDC_WINDOW_STATUS, IDC_EDIT_TOP, IDC_EDIT_LEFT, IDC_EDIT_WIDTH, IDC_EDIT_HEIGHT})
        EXPECT_EQ(dialog.Text(id), "") << id;
    EXPECT_TRUE(dialog.Enabled(IDC_HIDE));
    EXPECT_TRUE(dialog.Enabled(IDC_RESTORE));
}

TEST(ShowStateCommands, HideThenRestoreKeepsRowAndSelection)
{
    HWND window = CreateFixture("Report", true);
    MainDialog dialog;
    int row = dialog.Select("Report");
    ASSERT_GE(row, 0);

    dialog.Command(IDC_HIDE);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(dialog.Rows()[row], "Report" + SUFFIX);
    EXPECT_EQ(dialog.SelectedRow(), row);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_NAME), "Report" + SUFFIX);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Hidden");
    EXPECT_FALSE(dialog.Enabled(IDC_HIDE));
    EXPECT_TRUE(dialog.Enabled(IDC_RESTORE));

    dialog.Command(IDC_RESTORE);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(dialog.Rows()[row], "Report");
    EXPECT_EQ(dialog.SelectedRow(), row);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_NAME), "Report");
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Visible");
    ExpectButtonsForVisible(dialog);
    DestroyWindow(window);
}

TEST(ShowStateCommands, HideOnHiddenAndRestoreOnVisibleChangeNothing)
{
    HWND hidden = CreateFixture("Already hidden", false);
    HWND shown = CreateFixture("Already shown", true);
    MainDialog dialog;
    ASSERT_GE(dialog.Select("Already hidden" + SUFFIX), 0);
    EnableWindow(GetDlgItem(dialog.Handle(), IDC_HIDE), TRUE);  // as if left so by another row
    DialogSnapshot before(dialog);
    dialog.Command(IDC_HIDE);
    EXPECT_TRUE(DialogSnapshot(dialog) == before);

    ASSERT_GE(dialog.Select("Already shown"), 0);
    EnableWindow(GetDlgItem(dialog.Handle(), IDC_RESTORE), TRUE);
    DialogSnapshot beforeRestore(dialog);
    dialog.Command(IDC_RESTORE);
    EXPECT_TRUE(DialogSnapshot(dialog) == beforeRestore);
    EXPECT_TRUE(IsWindowVisible(shown));
    EXPECT_FALSE(IsWindowVisible(hidden));
    DestroyWindow(hidden);
    DestroyWindow(shown);
}

TEST(ShowStateCommands, MinimizeAndMaximizeShowAHiddenWindowAndDropTheSuffix)
{
    HWND toMinimize = CreateFixture("Hidden to minimize", false);
    HWND toMaximize = CreateFixture("Hidden to maximize", false);
    MainDialog dialog;

    int row = dialog.Select("Hidden to minimize" + SUFFIX);
    ASSERT_GE(row, 0);
    dialog.Command(IDC_MINIMIZE);
    EXPECT_TRUE(IsWindowVisible(toMinimize));
    EXPECT_TRUE(IsIconic(toMinimize));
    EXPECT_EQ(dialog.Rows()[row], "Hidden to minimize");
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Visible");
    ExpectButtonsForVisible(dialog);

    row = dialog.Select("Hidden to maximize" + SUFFIX);
    ASSERT_GE(row, 0);
    dialog.Command(IDC_MAXIMIZE);
    EXPECT_TRUE(IsWindowVisible(toMaximize));
    EXPECT_TRUE(IsZoomed(toMaximize));
    EXPECT_EQ(dialog.Rows()[row], "Hidden to maximize");
    EXPECT_EQ(dialog.SelectedRow(), row);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Visible");
    ExpectButtonsForVisible(dialog);

    // On a visible entry the row is replaced all the same, with the same text.
    MessageCounter counter(dialog.List());
    dialog.Command(IDC_MINIMIZE);
    EXPECT_EQ(counter.Count(LB_INSERTSTRING), 1);
    EXPECT_EQ(dialog.Rows()[row], "Hidden to maximize");
    DestroyWindow(toMinimize);
    DestroyWindow(toMaximize);
}

TEST(SetPosition, UneditedFieldsKeepThePlacementReadWhole)
{
    // Over the desktop's left and bottom edges: -35, 1002, 1100 x 250 at 1280x1024.
    const int top = GetSystemMetrics(SM_CYSCREEN) - 22, width = WidthAFrameCanHave(1100);
    HWND window = CreateFixture("Placed fixture", true, -35, top, width, 250);
    MainDialog dialog;
    ASSERT_GE(dialog.Select("Placed fixture"), 0);
    MessageCounter counter(dialog.List());
    dialog.Command(IDC_SET_POSITION);
    EXPECT_TRUE(HasRect(window, -35, top, width, 250));
    EXPECT_EQ(counter.Count(LB_INSERTSTRING), 0) << "a visible entry's row is left untouched";
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Visible");
    DestroyWindow(window);
}

TEST(SetPosition, HorzIsTheTopEdgeAndJunkReadsAsItsLeadingNumber)
{
    HWND window = CreateFixture("Typed placement", true, 300, 300, 400, 300);
    MainDialog dialog;
    ASSERT_GE(dialog.Select("Typed placement"), 0);
    dialog.SetText(IDC_EDIT_TOP, "30");
    dialog.SetText(IDC_EDIT_LEFT, "12abc");
    dialog.SetText(IDC_EDIT_WIDTH, " +350");
    dialog.SetText(IDC_EDIT_HEIGHT, "260 px");
    dialog.Command(IDC_SET_POSITION);
    EXPECT_TRUE(HasRect(window, 12, 30, 350, 260));
    EXPECT_EQ(dialog.Text(IDC_EDIT_LEFT), "12");

    dialog.SetText(IDC_EDIT_LEFT, "");
    dialog.Command(IDC_SET_POSITION);
    EXPECT_TRUE(HasRect(window, 0, 30, 350, 260)) << "an empty field passes 0";
    DestroyWindow(window);
}

TEST(SetPosition, OnAHiddenEntryShowsTheWindowAndDropsTheSuffix)
{
    HWND window = CreateFixture("Hidden placement", false, 50, 60, 300, 200);
    MainDialog dialog;
    int row = dialog.Select("Hidden placement" + SUFFIX);
    ASSERT_GE(row, 0);
    dialog.Command(IDC_SET_POSITION);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(HasRect(window, 50, 60, 300, 200));
    EXPECT_EQ(dialog.Rows()[row], "Hidden placement");
    EXPECT_EQ(dialog.SelectedRow(), row);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Visible");
    ExpectButtonsForVisible(dialog);
    DestroyWindow(window);
}

TEST(ShowStateCommands, WithNoRowSelectedNothingHappens)
{
    HWND hidden = CreateFixture("Unselected hidden", false);
    HWND shown = CreateFixture("Unselected shown", true, 10, 20, 300, 200);
    MainDialog dialog;
    SendMessageA(dialog.List(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    dialog.SetText(IDC_EDIT_TOP, "5");
    DialogSnapshot before(dialog);
    for (WORD id : {IDC_WINDOW_LIST, IDC_HIDE, IDC_RESTORE, IDC_MINIMIZE, IDC_MAXIMIZE, IDC_SET_POSITION})
        dialog.Command(id);
    EXPECT_TRUE(DialogSnapshot(dialog) == before);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_TRUE(HasRect(shown, 10, 20, 300, 200));
    EXPECT_FALSE(IsIconic(shown));
    DestroyWindow(hidden);
    DestroyWindow(shown);
}

TEST(ShowStateCommands, ListNotificationsAfterClosingDoNothing)
{
    HWND window = CreateFixture("Late notice", true);
    MainDialog dialog;
    int row = dialog.RowOf("Late notice");
    ASSERT_GE(row, 0);
    SendMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(catalogueInvalid, 1);
    SendMessageA(dialog.List(), LB_SETCURSEL, row, 0);
    dialog.Command(IDC_WINDOW_LIST, LBN_SELCHANGE);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_NAME), "");
    DestroyWindow(window);
}

// While ShowWindow or SetWindowPos waits on a window of another thread, the dialog
// thread handles requests sent to it. A refresh arriving then must wait until the
// command has finished with its entry; a second start-up must change nothing.
class CommandReentry : public ::testing::TestWithParam<WORD> {
protected:
    void SetUp() override
    {
        command = GetParam();
        bool startHidden = command == IDC_RESTORE || command == IDC_SET_POSITION;
        other.Run([&] { window = CreateFixture("Reentry command", !startHidden, 40, 50, 300, 200); });
        dialog = std::make_unique<MainDialog>();
        ASSERT_GE(dialog->Select(startHidden ? "Reentry command" + SUFFIX : "Reentry command"), 0);
    }
    void TearDown() override
    {
        dialog.reset();
        other.Run([&] { DestroyWindow(window); });
    }
    // Runs the command, sending message to the dialog from inside its window call.
    void CommandSending(UINT message)
    {
        int sent = 0;
        SetFixtureHook([&](HWND target, UINT received, WPARAM, LPARAM) {
            if (target == window && received == WM_WINDOWPOSCHANGING && sent++ == 0)
                SendMessageA(dialog->Handle(), message, 0, 0);
        });
        dialog->Command(command);
        SetFixtureHook(nullptr);
        ASSERT_EQ(sent, 1);
    }
    std::string TitleAfter() const { return command == IDC_HIDE ? "Reentry command" + SUFFIX : "Reentry command"; }

    WORD command = 0;
    WindowThread other;
    HWND window = nullptr;
    std::unique_ptr<MainDialog> dialog;
};

TEST_P(CommandReentry, ARefreshDuringTheCommandRunsAfterItCompletes)
{
    MessageCounter counter(dialog->List());
    CommandSending(WM_USER + 100);
    EXPECT_EQ(counter.Count(LB_RESETCONTENT), 1) << "the refresh ran once, after the command";
    EXPECT_GE(dialog->RowOf(TitleAfter()), 0);
    EXPECT_TRUE(RowsMatchEntries(*dialog)) << "the command finished on its own entry";
    ASSERT_GE(dialog->SelectedRow(), 0);
    EXPECT_EQ(dialog->Text(IDC_WINDOW_NAME), dialog->Rows()[dialog->SelectedRow()]) << "the details name the selected row";
}

TEST_P(CommandReentry, ASecondStartUpDuringTheCommandChangesNothing)
{
    size_t rowCount = dialog->Rows().size();
    HANDLE worker = workerThread;
    CommandSending(WM_INITDIALOG);
    EXPECT_EQ(dialog->Rows().size(), rowCount);
    EXPECT_TRUE(RowsMatchEntries(*dialog));
    EXPECT_EQ(workerThread, worker) << "a second worker was started";
    EXPECT_GE(dialog->RowOf(TitleAfter()), 0);
    // The window waited for our answer inside the command, and then did as asked.
    EXPECT_EQ(dialog->Text(IDC_WINDOW_STATUS), command == IDC_HIDE ? "Hidden" : "Visible");
}

INSTANTIATE_TEST_SUITE_P(EachCommand, CommandReentry,
                         ::testing::Values(IDC_HIDE, IDC_RESTORE, IDC_MINIMIZE, IDC_MAXIMIZE, IDC_SET_POSITION));
