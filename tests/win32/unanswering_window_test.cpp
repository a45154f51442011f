// Windows that do not do as asked: one whose thread has stopped taking messages, as a
// hung program's does, one that answers at once but is slow over every change, one that
// answers a first message and then hangs, one that refuses to hide, and one that is gone.
// The dialog never waits long on any of them, and the list never claims what none did.
#include "harness.h"

#include <atomic>
#include <functional>
#include <string>

#include "processes.h"
#include "resources/resource.h"

namespace {

const std::string SUFFIX = "               (HIDDEN)";
const std::string TITLE = "Stuck window";
const UINT WM_STOP_ANSWERING = WM_APP + 20;
// The window recovers by itself after this long, so that a command that does wait on it
// fails the test instead of hanging it.
const DWORD STUCK_AT_MOST_MS = 2500;

enum StuckKind {
    HUNG,            // stops taking messages before the command
    SLOW,            // answers, but its WM_WINDOWPOSCHANGING takes its time
    ANSWERS_ONCE,    // answers the command's first message, then hangs
};

// A fixture window on a thread of its own, which gets stuck as its kind says, once,
// until it is released.
class StuckWindow {
public:
    StuckWindow(StuckKind kind, bool visible, void (*lose)(HWND) = nullptr) : kind(kind)
    {
        thread.Run([&] {
            window = CreateFixture(TITLE.c_str(), visible, 40, 50, 300, 200);
            if (lose)
                lose(window);
        });
        SetFixtureHook([this](HWND target, UINT message, WPARAM, LPARAM) {
            if (target == window && (message == WM_STOP_ANSWERING || StopsAt(message))) {
                if (whenStuck)
                    whenStuck();
                SetEvent(stuck);
                WaitForSingleObject(release, STUCK_AT_MOST_MS);
            }
        });
    }
    ~StuckWindow()
    {
        Recover();
        thread.Run([&] { DestroyWindow(window); });
        CloseHandle(stuck);
        CloseHandle(release);
    }
    // Before the command: a hung window stops now, the others get stuck inside it.
    bool GetReady()
    {
        if (kind != HUNG) {
            armed = true;
            return true;
        }
        PostMessageA(window, WM_STOP_ANSWERING, 0, 0);
        return WaitForSingleObject(stuck, 5000) == WAIT_OBJECT_0;
    }
    bool GotStuck() { return WaitForSingleObject(stuck, 0) == WAIT_OBJECT_0; }
    void Recover() { SetEvent(release); }
    // Returns once the window's thread has handled everything sent to it before.
    void Settle() { thread.Run([] {}); }

    HWND window = nullptr;
    // Called on the window's thread as it gets stuck.
    std::function<void()> whenStuck;

private:
    // Once armed, a slow or once-answering window gets stuck at one message of the command.
    bool StopsAt(UINT message)
    {
        if (!armed)
            return false;
        bool stop = kind == SLOW ? message == WM_WINDOWPOSCHANGING : ++messagesSeen == 2;
        return stop && armed.exchange(false);
    }

    StuckKind kind;
    std::atomic<bool> armed{false};
    std::atomic<int> messagesSeen{0};
    HANDLE stuck = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    WindowThread thread;
};

struct StuckCase {
    const char* name;
    WORD command;
    bool startVisible;
    bool isStep;                 // a step leaves the status alone
    bool (*tookEffect)(HWND window);
    void (*lose)(HWND window);   // how the window is lost before the command, if it is
};

std::ostream& operator<<(std::ostream& out, const StuckCase& c)
{
    return out << c.name;
}

bool Hidden(HWND window) { return !IsWindowVisible(window); }
bool Shown(HWND window) { return IsWindowVisible(window) != FALSE; }
bool Minimized(HWND window) { return IsIconic(window) != FALSE; }
bool Maximized(HWND window) { return IsZoomed(window) != FALSE; }
bool PlacedAsTyped(HWND window) { return Shown(window) && HasRect(window, 70, 60, 310, 210); }
bool MovedUp(HWND window) { return HasRect(window, 40, 49, 300, 200); }
bool ShownNormally(HWND window) { return Shown(window) && !Minimized(window) && !Maximized(window); }
bool PlacedAsTypedNormally(HWND window) { return ShownNormally(window) && PlacedAsTyped(window); }
bool ShownOnAScreen(HWND window) { return Shown(window) && MonitorFromWindow(window, MONITOR_DEFAULTTONULL); }
void MinimizeHidden(HWND window) { ShowWindow(window, SW_SHOWMINNOACTIVE); ShowWindow(window, SW_HIDE); }
void Maximize(HWND window) { ShowWindow(window, SW_MAXIMIZE); }
void PutOffEveryScreen(HWND window) { SetWindowPos(window, nullptr, -5000, 4000, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }

const StuckCase STUCK_CASES[] = {
    {"Hide", IDC_HIDE, true, false, Hidden, nullptr},
    {"Restore", IDC_RESTORE, false, false, Shown, nullptr},
    {"Minimize", IDC_MINIMIZE, true, false, Minimized, nullptr},
    {"Maximize", IDC_MAXIMIZE, true, false, Maximized, nullptr},
    {"SetPosition", IDC_SET_POSITION, false, false, PlacedAsTyped, nullptr},
    {"Up", IDC_MOVE_UP, true, true, MovedUp, nullptr},
    {"SetPositionOnHiddenMinimized", IDC_SET_POSITION, false, false, PlacedAsTypedNormally, MinimizeHidden},
    {"UpOnMaximized", IDC_MOVE_UP, true, true, ShownNormally, Maximize},
    {"RestoreOffEveryScreen", IDC_RESTORE, false, false, ShownOnAScreen, PutOffEveryScreen},
};

const char* const KIND_NAMES[] = {"Hung", "Slow", "AnswersOnce"};

class StuckWindowCommand : public ::testing::TestWithParam<std::tuple<StuckKind, StuckCase>> {};

}  // namespace

TEST_P(StuckWindowCommand, ReturnsAtOnceAndItsRequestWaitsForTheWindow)
{
    StuckKind kind = std::get<0>(GetParam());
    const StuckCase& c = std::get<1>(GetParam());
    StuckWindow stuck(kind, c.startVisible, c.lose);
    MainDialog dialog;
    int row = dialog.Select(c.startVisible ? TITLE : TITLE + SUFFIX);
    ASSERT_GE(row, 0);
    dialog.SetText(IDC_EDIT_TOP, "60");
    dialog.SetText(IDC_EDIT_LEFT, "70");
    dialog.SetText(IDC_EDIT_WIDTH, "310");
    dialog.SetText(IDC_EDIT_HEIGHT, "210");
    std::vector<std::string> rows = dialog.Rows();
    std::string status = dialog.Text(IDC_WINDOW_STATUS);
    bool hideEnabled = dialog.Enabled(IDC_HIDE);
    bool restoreEnabled = dialog.Enabled(IDC_RESTORE);

    ASSERT_TRUE(stuck.GetReady());
    DWORD start = GetTickCount();
    dialog.Command(c.command);
    EXPECT_LT(GetTickCount() - start, 1000u) << "the command waited on a window that does not answer";
    ASSERT_TRUE(stuck.GotStuck());
    EXPECT_EQ(dialog.Rows(), rows);
    EXPECT_EQ(dialog.SelectedRow(), row);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), c.isStep ? status : "Unknown");
    EXPECT_EQ(dialog.Enabled(IDC_HIDE), hideEnabled);
    EXPECT_EQ(dialog.Enabled(IDC_RESTORE), restoreEnabled);
    // Looking at the row again does not guess either.
    dialog.Command(IDC_WINDOW_LIST, LBN_SELCHANGE);
    EXPECT_EQ(dialog.Enabled(IDC_HIDE), hideEnabled);
    EXPECT_EQ(dialog.Enabled(IDC_RESTORE), restoreEnabled);

    stuck.Recover();
    EXPECT_TRUE(PumpUntil([&] { return c.tookEffect(stuck.window); }, 5000)) << "the request was lost";

    // Once the window answers again its entry is acted on as usual, suffix and all.
    dialog.Command(IDC_MINIMIZE);
    EXPECT_EQ(dialog.Rows()[row], TITLE);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Visible");
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<StuckKind, StuckCase>>& info)
{
    return std::string(KIND_NAMES[std::get<0>(info.param)]) + std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(EachCommand, StuckWindowCommand,
                         ::testing::Combine(::testing::Values(HUNG, SLOW), ::testing::ValuesIn(STUCK_CASES)), CaseName);
// Where the window hangs makes no difference to the wait: two commands stand for all.
INSTANTIATE_TEST_SUITE_P(SomeCommands, StuckWindowCommand,
                         ::testing::Combine(::testing::Values(ANSWERS_ONCE),
                                            ::testing::Values(STUCK_CASES[3], STUCK_CASES[4])),
                         CaseName);

TEST(SlowWindow, ASecondCommandWhileTheFirstIsUnderWayAsksNothing)
{
    StuckWindow slow(SLOW, true);
    MainDialog dialog;
    ASSERT_GE(dialog.Select(TITLE), 0);
    ASSERT_TRUE(slow.GetReady());
    dialog.Command(IDC_MINIMIZE);
    ASSERT_TRUE(slow.GotStuck());
    DWORD start = GetTickCount();
    dialog.Command(IDC_MAXIMIZE);
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Unknown");
    slow.Recover();
    EXPECT_TRUE(PumpUntil([&] { return Minimized(slow.window); }, 5000));
    slow.Settle();
    EXPECT_FALSE(Maximized(slow.window)) << "the second request piled up behind the first";
    // A refresh lists the window as it is now.
    dialog.Refresh();
    ASSERT_GE(dialog.Select(TITLE), 0);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Visible");
}

TEST(SlowWindow, ACommandPostedDuringTheWaitRunsAfterTheFirst)
{
    StuckWindow slow(SLOW, true);
    MainDialog dialog;
    ASSERT_GE(dialog.Select(TITLE), 0);
    slow.whenStuck = [&] { PostMessageA(dialog.Handle(), WM_COMMAND, IDC_MOVE_UP, 0); };
    ASSERT_TRUE(slow.GetReady());
    SendMessageA(dialog.Handle(), WM_COMMAND, IDC_HIDE, 0);
    slow.Recover();
    EXPECT_TRUE(PumpUntil([&] { return Hidden(slow.window) && MovedUp(slow.window); }, 5000))
        << "the click made during the wait was lost";
}

// The hide ends 150 ms into the first step, whose own request then takes 160 ms: more
// than is left of the step's one bound. A second click while that move is under way
// waits for it, and then steps from where it landed.
TEST(SlowWindow, AStepWaitsForAnEarlierRequestWithinItsOwnBoundAndStartsWhereItLanded)
{
    WindowThread thread;
    HWND window = nullptr;
    thread.Run([&] { window = CreateFixture("Slow twice", true, 40, 50, 300, 200); });
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> changes{0};
    SetFixtureHook([&](HWND target, UINT message, WPARAM, LPARAM) {
        if (target != window || message != WM_WINDOWPOSCHANGING)
            return;
        if (changes++ == 0) {
            WaitForSingleObject(go, STUCK_AT_MOST_MS);
            Sleep(150);
        } else {
            Sleep(160);
        }
    });
    {
        MainDialog dialog;
        ASSERT_GE(dialog.Select("Slow twice"), 0);
        dialog.Command(IDC_HIDE);
        SetEvent(go);
        dialog.Command(IDC_MOVE_UP);
        EXPECT_EQ(dialog.Text(IDC_EDIT_TOP), "50") << "the step waited a second bound";
        dialog.Command(IDC_MOVE_UP);
        EXPECT_TRUE(PumpUntil([&] { return Hidden(window) && HasRect(window, 40, 48, 300, 200); }, 5000))
            << "two clicks did not move the window two steps";
    }
    SetFixtureHook(nullptr);
    thread.Run([&] { DestroyWindow(window); });
    CloseHandle(go);
}

// Ending the program hands over only requests still under way, and a helper that has
// ended is let go at the next command: one held until exit would keep its slot, and once
// every slot was kept no command would reach another program's window.
TEST(SlowWindow, ARequestCarriedOutIsLetGoAtTheNextCommandAndNotMadeAgainAtExit)
{
    StuckWindow slow(SLOW, true);
    {
        MainDialog dialog;
        ASSERT_GE(dialog.Select(TITLE), 0);
        ASSERT_TRUE(slow.GetReady());
        std::vector<DWORD> before = ThreadIds(GetCurrentProcessId());
        dialog.Command(IDC_HIDE);
        ASSERT_TRUE(slow.GotStuck());
        // The helper is the thread that appeared. It is waited on itself: on Windows an
        // ended thread stays listed while the program still holds its handle.
        std::vector<DWORD> helpers = ThreadsSince(before, GetCurrentProcessId());
        ASSERT_FALSE(helpers.empty());
        std::vector<HANDLE> waits;
        for (DWORD id : helpers)
            waits.push_back(OpenThread(SYNCHRONIZE, FALSE, id));
        slow.Recover();
        auto helpersEnded = [&] {
            return WaitForMultipleObjects(DWORD(waits.size()), waits.data(), TRUE, 0) == WAIT_OBJECT_0;
        };
        ASSERT_TRUE(PumpUntil([&] { return Hidden(slow.window) && helpersEnded(); }, 5000));
        for (HANDLE wait : waits)
            CloseHandle(wait);
        dialog.Command(IDC_MINIMIZE);
        // Only a handle of the program's keeps an ended thread openable by its id.
        for (DWORD id : helpers) {
            HANDLE held = OpenThread(SYNCHRONIZE, FALSE, id);
            EXPECT_FALSE(held && WaitForSingleObject(held, 0) == WAIT_OBJECT_0) << "an ended helper is still held";
            if (held)
                CloseHandle(held);
        }
    }
    slow.Settle();
    EXPECT_TRUE(Shown(slow.window)) << "the hide was made again at exit";
}

TEST(RefusingWindow, AHideItRefusesLeavesRowStatusAndButtonsAsTheyWere)
{
    HWND window = CreateFixture("Refuses to hide", true);
    SetFixtureHook([window](HWND target, UINT message, WPARAM, LPARAM lParam) {
        if (target == window && message == WM_WINDOWPOSCHANGING)
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_HIDEWINDOW;
    });
    MainDialog dialog;
    int row = dialog.Select("Refuses to hide");
    ASSERT_GE(row, 0);
    dialog.Command(IDC_HIDE);
    ASSERT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(dialog.Rows()[row], "Refuses to hide");
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Visible");
    EXPECT_TRUE(dialog.Enabled(IDC_HIDE));
    EXPECT_FALSE(dialog.Enabled(IDC_RESTORE));
    DestroyWindow(window);
}

TEST(GoneWindow, ACommandOnAWindowClosedSinceTheRebuildSaysUnknown)
{
    HWND window = CreateFixture("Closed since", true);
    MainDialog dialog;
    int row = dialog.Select("Closed since");
    ASSERT_GE(row, 0);
    DestroyWindow(window);
    dialog.Command(IDC_HIDE);
    EXPECT_EQ(dialog.Rows()[row], "Closed since");
    EXPECT_EQ(dialog.Text(IDC_WINDOW_STATUS), "Unknown");
    EXPECT_TRUE(RowsMatchEntries(dialog));
}
