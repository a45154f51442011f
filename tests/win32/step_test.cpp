// The eight step buttons: U, D, L, R move the selected window by the position step;
// Taller, Shorter, Wider, Narrower resize it by the size step, keeping its corner.
#include "harness.h"

#include <string>

#include "catalogue/catalogue.h"
#include "resources/resource.h"
#include "settings/user_settings.h"

namespace {

const std::string SUFFIX = "               (HIDDEN)";

// Every placement request the fixture receives, as asked, before the window system
// applies its own limits.
struct PlacementLog {
    PlacementLog(HWND window)
    {
        SetFixtureHook([this, window](HWND target, UINT message, WPARAM, LPARAM lParam) {
            if (target == window && message == WM_WINDOWPOSCHANGING) {
                requests.push_back(*reinterpret_cast<WINDOWPOS*>(lParam));
                sentByAnotherThread = sentByAnotherThread || InSendMessage();
            }
        });
    }
    ~PlacementLog() { SetFixtureHook(nullptr); }
    std::vector<WINDOWPOS> requests;
    bool sentByAnotherThread = false;
};

class StepCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = CreateFixture("Step fixture", true, 100, 200, 640, 480);
        dialog = new MainDialog;
        ASSERT_GE(dialog->Select("Step fixture"), 0);
    }
    void TearDown() override
    {
        delete dialog;
        DestroyWindow(window);
    }
    void Press(WORD id) { dialog->Command(id); }
    HWND window = nullptr;
    MainDialog* dialog = nullptr;
};

}  // namespace

TEST_F(StepCommands, UpByOneMovesOnePixelAndTheFieldsFollow)
{
    Press(IDC_MOVE_UP);
    EXPECT_TRUE(HasRect(window, 100, 199, 640, 480));
    EXPECT_TRUE(FieldsRead(*dialog, 199, 100, 640, 480));
}

TEST_F(StepCommands, EachButtonMovesOrResizesItsOwnWay)
{
    UserSettings.SetPositionStep(10);
    UserSettings.SetSizeStep(10);
    Press(IDC_TALLER);
    EXPECT_TRUE(HasRect(window, 100, 200, 640, 490));
    Press(IDC_WIDER);
    EXPECT_TRUE(HasRect(window, 100, 200, 650, 490));
    Press(IDC_SHORTER);
    EXPECT_TRUE(HasRect(window, 100, 200, 650, 480));
    Press(IDC_NARROWER);
    EXPECT_TRUE(HasRect(window, 100, 200, 640, 480));
    Press(IDC_MOVE_RIGHT);
    EXPECT_TRUE(HasRect(window, 110, 200, 640, 480));
    Press(IDC_MOVE_LEFT);
    EXPECT_TRUE(HasRect(window, 100, 200, 640, 480));
    Press(IDC_MOVE_DOWN);
    EXPECT_TRUE(HasRect(window, 100, 210, 640, 480));
    Press(IDC_MOVE_UP);
    EXPECT_TRUE(HasRect(window, 100, 200, 640, 480));
    EXPECT_TRUE(FieldsRead(*dialog, 200, 100, 640, 480));
}

TEST_F(StepCommands, ANegativeStepReversesEveryButton)
{
    UserSettings.SetPositionStep(-5);
    UserSettings.SetSizeStep(-5);
    Press(IDC_MOVE_UP);
    EXPECT_TRUE(HasRect(window, 100, 205, 640, 480));
    Press(IDC_MOVE_RIGHT);
    EXPECT_TRUE(HasRect(window, 95, 205, 640, 480));
    Press(IDC_WIDER);
    EXPECT_TRUE(HasRect(window, 95, 205, 635, 480));
    Press(IDC_TALLER);
    EXPECT_TRUE(HasRect(window, 95, 205, 635, 475));
}

TEST_F(StepCommands, RequestsPassPositionAndSizeNotTopmostWithoutActivating)
{
    UserSettings.SetSizeStep(500);
    PlacementLog log(window);
    Press(IDC_SHORTER);
    ASSERT_EQ(log.requests.size(), 1u);
    const WINDOWPOS& asked = log.requests[0];
    EXPECT_EQ(asked.x, 100);
    EXPECT_EQ(asked.y, 200);
    EXPECT_EQ(asked.cx, 640);
    // The program asks for -20 (the geometry tests check the sum); the window system
    // itself turns a negative size into 0 before the window hears of it.
    EXPECT_LE(asked.cy, 0) << "nothing is clamped to a minimum size";
    EXPECT_TRUE(asked.flags & SWP_NOACTIVATE);
    EXPECT_FALSE(asked.flags & (SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOZORDER));
    EXPECT_FALSE(log.sentByAnotherThread) << "a window of our own thread was placed from another";
}

TEST_F(StepCommands, StepZeroEndsAlwaysOnTopAndRewritesTheFields)
{
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    UserSettings.SetPositionStep(0);
    dialog->SetText(IDC_EDIT_TOP, "typed");
    dialog->SetText(IDC_EDIT_WIDTH, "9");
    Press(IDC_MOVE_UP);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(HasRect(window, 100, 200, 640, 480));
    EXPECT_TRUE(FieldsRead(*dialog, 200, 100, 640, 480));
}

TEST_F(StepCommands, TypedFieldsAreIgnoredAndOverwritten)
{
    dialog->SetText(IDC_EDIT_TOP, "5");
    dialog->SetText(IDC_EDIT_LEFT, "5");
    Press(IDC_MOVE_DOWN);
    EXPECT_TRUE(HasRect(window, 100, 201, 640, 480));
    EXPECT_TRUE(FieldsRead(*dialog, 201, 100, 640, 480));
}

TEST_F(StepCommands, NeverChangeTheListTheDetailsOrTheButtons)
{
    EnableWindow(GetDlgItem(dialog->Handle(), IDC_RESTORE), TRUE);
    std::vector<std::string> rows = dialog->Rows();
    std::string name = dialog->Text(IDC_WINDOW_NAME), status = dialog->Text(IDC_WINDOW_STATUS);
    for (WORD id : {IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_MOVE_LEFT, IDC_MOVE_RIGHT, IDC_TALLER, IDC_SHORTER, IDC_WIDER,
                    IDC_NARROWER})
        Press(id);
    EXPECT_EQ(dialog->Rows(), rows);
    EXPECT_EQ(dialog->Text(IDC_WINDOW_NAME), name);
    EXPECT_EQ(dialog->Text(IDC_WINDOW_STATUS), status);
    EXPECT_TRUE(dialog->Enabled(IDC_HIDE));
    EXPECT_TRUE(dialog->Enabled(IDC_RESTORE));
}

TEST_F(StepCommands, WithNoRowSelectedNothingMoves)
{
    SendMessageA(dialog->List(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    dialog->SetText(IDC_EDIT_TOP, "kept");
    for (WORD id : {IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_MOVE_LEFT, IDC_MOVE_RIGHT, IDC_TALLER, IDC_SHORTER, IDC_WIDER,
                    IDC_NARROWER})
        Press(id);
    EXPECT_TRUE(HasRect(window, 100, 200, 640, 480));
    EXPECT_EQ(dialog->Text(IDC_EDIT_TOP), "kept");
}

// Minimized or maximized, it keeps that state: it could not leave it without being shown.
TEST(StepHidden, AHiddenWindowMovesWithoutBeingShown)
{
    for (int lost : {SW_HIDE, SW_SHOWMINNOACTIVE, SW_MAXIMIZE}) {
        HWND window = CreateFixture("Step hidden", false, 100, 200, 640, 480);
        ShowWindow(window, lost);
        ShowWindow(window, SW_HIDE);
        MainDialog dialog;
        int row = dialog.Select("Step hidden" + SUFFIX);
        ASSERT_GE(row, 0);
        dialog.Command(IDC_MOVE_RIGHT);
        dialog.Command(IDC_WIDER);
        EXPECT_FALSE(IsWindowVisible(window)) << "show command " << lost;
        EXPECT_EQ(IsIconic(window), lost == SW_SHOWMINNOACTIVE);
        EXPECT_EQ(IsZoomed(window), lost == SW_MAXIMIZE);
        if (lost == SW_HIDE) {
            EXPECT_TRUE(HasRect(window, 101, 200, 641, 480));
        }
        EXPECT_EQ(dialog.Rows()[row], "Step hidden" + SUFFIX);
        EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Hidden");
        DestroyWindow(window);
    }
}

TEST(StepOwnDialog, TheProgramsOwnDialogMovesLikeAnyOther)
{
    MainDialog dialog;
    ASSERT_GE(dialog.Select("Tarnavel"), 0);
    RECT before;
    GetWindowRect(dialog.Handle(), &before);
    dialog.Command(IDC_MOVE_RIGHT);
    dialog.Command(IDC_TALLER);
    EXPECT_TRUE(HasRect(dialog.Handle(), before.left + 1, before.top, before.right - before.left,
                        before.bottom - before.top + 1));
}

TEST(StepReentry, ARefreshDuringAStepRunsAfterIt)
{
    WindowThread other;
    HWND window = nullptr;
    other.Run([&] { window = CreateFixture("Step reentry", true, 100, 200, 640, 480); });
    MainDialog dialog;
    ASSERT_GE(dialog.Select("Step reentry"), 0);
    int requests = 0;
    SetFixtureHook([&](HWND target, UINT message, WPARAM, LPARAM) {
        if (target == window && message == WM_WINDOWPOSCHANGING && requests++ == 0)
            SendMessageA(dialog.Handle(), WM_USER + 100, 0, 0);
    });
    dialog.Command(IDC_MOVE_UP);
    SetFixtureHook(nullptr);
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(HasRect(window, 100, 199, 640, 480));
    EXPECT_TRUE(FieldsRead(dialog, 199, 100, 640, 480));
    EXPECT_EQ(dialog.Rows().size(), WindowCatalogue.fillIndex);
    other.Run([&] { DestroyWindow(window); });
}
