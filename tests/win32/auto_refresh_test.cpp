// The auto-refresh worker seen from the main dialog: when the list rebuilds by itself,
// that it stops when asked, never piles up requests, and leaves the dialog usable.
#include "harness.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "app/program_state.h"
#include "catalogue/catalogue.h"
#include "resources/resource.h"
#include "settings/user_settings.h"

namespace {

const char AUTO_REFRESH_CAPTION[] = "Auto Refresh";

// Sets the switch and the interval the way a user does: through the dialog and OK.
void SetAutoRefresh(MainDialog& tarnavel, bool on, const char* interval)
{
    ModalRun run = RunModalDialog(
        tarnavel, ID_OPTIONS_REFRESH_RATE, AUTO_REFRESH_CAPTION,
        {DialogAction([on, interval](HWND d) {
             SendMessageA(GetDlgItem(d, IDC_AUTO_REFRESH_ON), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
             SetWindowTextA(GetDlgItem(d, IDC_REFRESH_INTERVAL), interval);
         }),
         DialogAction([](HWND d) {
             SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_OK_BUTTON, BN_CLICKED), 0);
         })});
    EXPECT_TRUE(run.opened && !run.leftOpen) << "the auto-refresh dialog did not take the setting";
}

// Whether two rebuilds that began at or after since followed each other within gapMs.
bool HasRebuildsCloserThan(const RebuildLog& rebuilds, DWORD since, DWORD gapMs)
{
    const std::vector<DWORD>& times = rebuilds.Times();
    for (size_t i = 1; i < times.size(); ++i)
        if (static_cast<LONG>(times[i - 1] - since) >= 0 && times[i] - times[i - 1] < gapMs)
            return true;
    return false;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, strlen(prefix), prefix) == 0;
}

}  // namespace

// ---- When the list rebuilds by itself ----------------------------------------------

TEST(AutoRefresh, DefaultSettingsNeverRebuildTheList)
{
    MainDialog tarnavel;
    RebuildLog rebuilds(tarnavel);
    PumpFor(3000);
    EXPECT_EQ(rebuilds.Count(), 0);
}

TEST(AutoRefresh, WindowOpenedAfterSwitchingOnIsListedWithoutManualRefresh)
{
    MainDialog tarnavel;
    SetAutoRefresh(tarnavel, true, "300");
    EXPECT_EQ(UserSettings.GetAutoRefresh(), 1);
    EXPECT_EQ(UserSettings.GetRefreshInterval(), 300);

    HWND newcomer = CreateFixture("auto-refresh-newcomer", true);
    EXPECT_TRUE(PumpUntil([&] { return tarnavel.RowOf("auto-refresh-newcomer") >= 0; }, 2000))
        << "not listed within the worker's first cycle";
    DestroyWindow(newcomer);
    EXPECT_TRUE(PumpUntil([&] { return tarnavel.RowOf("auto-refresh-newcomer") < 0; }, 2000))
        << "still listed after it was destroyed";
}

TEST(AutoRefresh, SwitchingOffStopsRebuildsOnceTheCurrentPauseEnds)
{
    MainDialog tarnavel;
    RebuildLog rebuilds(tarnavel);
    SetAutoRefresh(tarnavel, true, "300");
    DWORD on = GetTickCount();
    EXPECT_TRUE(PumpUntil([&] { return rebuilds.CountSince(on) >= 2; }, 2500))
        << "auto refresh at 300 ms is not rebuilding";

    SetAutoRefresh(tarnavel, false, "300");
    DWORD off = GetTickCount();
    // The dialog's own rebuild, and one request the worker may have had in flight.
    PumpFor(700);
    int settled = rebuilds.Count();
    EXPECT_LE(rebuilds.CountSince(off), 2);
    PumpFor(1000);
    EXPECT_EQ(rebuilds.Count(), settled) << "rebuilds went on after auto refresh was switched off";
}

TEST(AutoRefresh, RebuildsGoOnWhileAboutOrASettingsDialogIsOpen)
{
    const struct {
        WORD command;
        const char* caption;
    } dialogs[] = {
        {ID_HELP_ABOUT, "About Tarnavel"},
        {ID_OPTIONS_SIZE_STEP, "Set Resizing Value"},
        {ID_OPTIONS_POSITION_STEP, "Set Reposition Value"},
        {ID_OPTIONS_FILTERS, "Filters"},
        {ID_OPTIONS_REFRESH_RATE, AUTO_REFRESH_CAPTION},
    };
    MainDialog tarnavel;
    RebuildLog rebuilds(tarnavel);
    SetAutoRefresh(tarnavel, true, "100");
    // Past the 1000 ms pause the worker was in when auto refresh was switched on.
    ASSERT_TRUE(PumpUntil([&] { return rebuilds.Count() >= 2; }, 2500));

    for (const auto& dialog : dialogs) {
        SCOPED_TRACE(dialog.caption);
        int whileOpen = 0;
        DWORD opened = 0;
        ModalRun run = RunModalDialog(tarnavel, dialog.command, dialog.caption,
                                      {DialogAction([&](HWND) { opened = GetTickCount(); }),
                                       DialogPause(500),
                                       DialogAction([&](HWND) { whileOpen = rebuilds.CountSince(opened); }),
                                       DialogAction([](HWND d) { SendMessageA(d, WM_CLOSE, 0, 0); })});
        EXPECT_TRUE(run.opened);
        EXPECT_GE(whileOpen, 2) << "the list did not rebuild under the open dialog";
    }
}

// ---- Requests never pile up ----------------------------------------------------------

TEST(AutoRefresh, RebuildSlowerThanTheIntervalQueuesNoRequests)
{
    const DWORD titleReadMs = 150;
    WindowThread other;
    HWND slow = nullptr;
    other.Run([&] { slow = CreateFixture("auto-refresh-slow-title", true); });
    MainDialog tarnavel;
    RebuildLog rebuilds(tarnavel);
    // Each rebuild reads the title twice (counting, then filling), and reading the title
    // of another thread's window sends it WM_GETTEXT.
    SetFixtureHook([slow, titleReadMs](HWND window, UINT message, WPARAM, LPARAM) {
        if (window == slow && message == WM_GETTEXT)
            Sleep(titleReadMs);
    });
    DWORD start = GetTickCount();
    tarnavel.Refresh();
    DWORD rebuildMs = GetTickCount() - start;
    ASSERT_GE(rebuildMs, 2 * titleReadMs - 20) << "the slow title does not slow the rebuild";

    SetAutoRefresh(tarnavel, true, "1");
    DWORD from = GetTickCount();
    PumpFor(1800);
    DWORD periodMs = GetTickCount() - from;
    int during = rebuilds.CountSince(from);
    EXPECT_GE(during, 2) << "auto refresh at 1 ms is not rebuilding";
    // Rebuilds run one at a time and none is shorter than two title reads.
    EXPECT_LE(during, static_cast<int>(periodMs / (2 * titleReadMs) + 1))
        << "more rebuilds in " << periodMs << " ms than there was time for";

    // A backlog of requests would keep rebuilding after the switch is off. Switched
    // off directly: the dialog's own steps would wait behind the slow rebuilds.
    UserSettings.SetAutoRefresh(0);
    DWORD off = GetTickCount();
    PumpFor(2 * rebuildMs + 200);
    EXPECT_LE(rebuilds.CountSince(off), 1);
    int settled = rebuilds.Count();
    PumpFor(800);
    EXPECT_EQ(rebuilds.Count(), settled);
    other.Run([&] { DestroyWindow(slow); });
}

// ---- Intervals of 0 and below --------------------------------------------------------

namespace {

// With the interval typed as text, the dialog must go on answering both sent and
// posted commands, and a later interval of 300 must take effect.
void CheckIntervalKeepsDialogAnswering(const char* interval, int32_t stored)
{
    const std::string title = std::string("auto-refresh-answering ") + interval;
    HWND fixture = CreateFixture(title.c_str(), true);
    WindowThread other;
    MainDialog tarnavel;
    RebuildLog rebuilds(tarnavel);
    SetAutoRefresh(tarnavel, true, interval);
    EXPECT_EQ(UserSettings.GetRefreshInterval(), stored) << "the typed interval is not stored as typed";

    DWORD start = GetTickCount();
    while (GetTickCount() - start < 1000) {
        DWORD sentMs = 0;
        HWND dialog = tarnavel.Handle();
        other.Run([&] {
            DWORD t = GetTickCount();
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
            sentMs = GetTickCount() - t;
        });
        EXPECT_LT(sentMs, 1000u) << "a sent command waited";

        int row = tarnavel.RowOf(title);
        ASSERT_GE(row, 0);
        SendMessageA(tarnavel.List(), LB_SETCURSEL, row, 0);
        tarnavel.SetText(IDC_WINDOW_NAME, "");
        PostMessageA(tarnavel.Handle(), WM_COMMAND, MAKEWPARAM(IDC_WINDOW_LIST, LBN_SELCHANGE), 0);
        EXPECT_TRUE(PumpUntil([&] { return tarnavel.Text(IDC_WINDOW_NAME) == title; }, 1000))
            << "a posted command was not handled";
        PumpFor(200);
    }

    SetAutoRefresh(tarnavel, true, "300");
    DWORD changed = GetTickCount();
    // The pause already running is not cut short; from the next one on it is 300 ms.
    EXPECT_TRUE(PumpUntil([&] { return HasRebuildsCloserThan(rebuilds, changed + 1100, 700); }, 3500))
        << "the new interval of 300 ms did not take effect";
    DestroyWindow(fixture);
}

}  // namespace

TEST(AutoRefresh, ZeroIntervalLeavesTheDialogAnsweringAndALaterIntervalTakesEffect)
{
    CheckIntervalKeepsDialogAnswering("0", 0);
}

TEST(AutoRefresh, NegativeIntervalLeavesTheDialogAnsweringAndALaterIntervalTakesEffect)
{
    CheckIntervalKeepsDialogAnswering("-1", -1);
}

// ---- Stress ------------------------------------------------------------------------

TEST(AutoRefresh, CommandsAndWindowChurnDuringFastRebuildsKeepListAndCatalogueInStep)
{
    // Only rows of these windows are acted on: the commands would act on any window,
    // the test's own dialog included.
    const char PREFIX[] = "stress-";
    const WORD commands[] = {IDC_HIDE,     IDC_RESTORE,    IDC_MINIMIZE, IDC_MAXIMIZE, IDC_SET_POSITION,
                             IDC_MOVE_UP,  IDC_MOVE_RIGHT, IDC_MOVE_DOWN, IDC_MOVE_LEFT, IDC_TALLER,
                             IDC_SHORTER,  IDC_WIDER,      IDC_NARROWER, IDC_REFRESH,  ID_FILE_REFRESH};
    std::mt19937 random(20240611);
    auto pick = [&random](size_t count) { return static_cast<size_t>(random() % count); };

    WindowThread other;
    std::vector<HWND> own, others;
    int made = 0;
    auto makeOwn = [&] {
        std::string title = std::string(PREFIX) + "own-" + std::to_string(made++);
        own.push_back(CreateFixture(title.c_str(), true, 50 + made % 7 * 20, 60, 300, 200));
    };
    auto makeOther = [&] {
        std::string title = std::string(PREFIX) + "other-" + std::to_string(made++);
        other.Run([&] { others.push_back(CreateFixture(title.c_str(), true, 400, 80 + made % 5 * 20, 300, 200)); });
    };
    for (int i = 0; i < 4; ++i) {
        makeOwn();
        makeOther();
    }

    MainDialog tarnavel;
    RebuildLog rebuilds(tarnavel);
    SetAutoRefresh(tarnavel, true, "1");
    HWND dialog = tarnavel.Handle();
    HWND list = tarnavel.List();
    int commandsSent = 0;
    DWORD start = GetTickCount();
    for (int round = 0; GetTickCount() - start < 5000; ++round) {
        std::vector<std::string> rows = tarnavel.Rows();
        std::vector<int> ours;
        for (size_t i = 0; i < rows.size(); ++i)
            if (StartsWith(rows[i], PREFIX))
                ours.push_back(static_cast<int>(i));
        if (!rows.empty() && round % 3 == 0) {
            // A bare selection may land on any row: it only shows details.
            SendMessageA(list, LB_SETCURSEL, pick(rows.size()), 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_WINDOW_LIST, LBN_SELCHANGE), 0);
        }
        if (!ours.empty()) {
            // Nothing is pumped between reading the rows and the command, so the row
            // still holds one of ours when the command reads the selection.
            SendMessageA(list, LB_SETCURSEL, ours[pick(ours.size())], 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_WINDOW_LIST, LBN_SELCHANGE), 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(commands[pick(std::size(commands))], BN_CLICKED), 0);
            ++commandsSent;
        }
        if (round % 5 == 0 && !own.empty()) {
            size_t gone = pick(own.size());
            DestroyWindow(own[gone]);
            own.erase(own.begin() + static_cast<long>(gone));
            makeOwn();
        }
        if (round % 7 == 0 && !others.empty()) {
            size_t gone = pick(others.size());
            HWND window = others[gone];
            others.erase(others.begin() + static_cast<long>(gone));
            other.Run([window] { DestroyWindow(window); });
            makeOther();
        }
        PumpFor(2);
    }
    EXPECT_GT(commandsSent, 20) << "too few commands to mean anything";
    EXPECT_GT(rebuilds.Count(), 20) << "too few rebuilds to mean anything";

    ASSERT_TRUE(IsWindow(dialog));
    std::vector<std::string> rows = tarnavel.Rows();
    ASSERT_EQ(rows.size(), WindowCatalogue.fillIndex);
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i], WindowCatalogue.entries[i].GetTitle()) << "row " << i;

    DWORD closing = GetTickCount();
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    EXPECT_LT(GetTickCount() - closing, 2000u) << "closing took too long";
    EXPECT_FALSE(IsWindowVisible(dialog));
    // The worker stops at its next pause once the dialog has closed.
    EXPECT_TRUE(WaitPumping(workerThread, 2000)) << "the worker is still running after close";

    for (HWND window : own)
        DestroyWindow(window);
    other.Run([&] {
        for (HWND window : others)
            DestroyWindow(window);
    });
}
