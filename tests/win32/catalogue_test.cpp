// What the list shows after a build or a refresh, and how rows and entries stay paired
// when windows come and go under a rebuild.
#include "harness.h"

#include <string>

#include "app/program_state.h"
#include "catalogue/catalogue.h"
#include "resources/resource.h"
#include "settings/user_settings.h"

namespace {

const std::string SUFFIX = "               (HIDDEN)";

WindowEntry* EntryOf(HWND window)
{
    for (uint32_t i = 0; i < WindowCatalogue.fillIndex; ++i)
        if (WindowCatalogue.entries[i].GetHandle() == window)
            return &WindowCatalogue.entries[i];
    return nullptr;
}


}  // namespace

TEST(Catalogue, ListsVisibleWindowsByTitleAndHiddenOnesWithSuffix)
{
    HWND shown = CreateFixture("Catalogue shown", true);
    HWND hidden = CreateFixture("Catalogue hidden", false);
    MainDialog dialog;
    int shownRow = dialog.RowOf("Catalogue shown");
    int hiddenRow = dialog.RowOf("Catalogue hidden" + SUFFIX);
    ASSERT_GE(shownRow, 0);
    ASSERT_GE(hiddenRow, 0);
    EXPECT_EQ(LookupEntry(shownRow)->GetHandle(), shown);
    EXPECT_EQ(LookupEntry(shownRow)->GetStatus(), STATUS_VISIBLE);
    EXPECT_EQ(LookupEntry(hiddenRow)->GetHandle(), hidden);
    EXPECT_EQ(LookupEntry(hiddenRow)->GetStatus(), STATUS_HIDDEN);
    EXPECT_TRUE(RowsMatchEntries(dialog));
    DestroyWindow(shown);
    DestroyWindow(hidden);
}

TEST(Catalogue, UntitledWindowsAreListedOnlyWithTheBlankTitleFilter)
{
    HWND shown = CreateFixture("", true);
    HWND hidden = CreateFixture("", false);
    MainDialog dialog;
    EXPECT_EQ(EntryOf(shown), nullptr);
    EXPECT_EQ(EntryOf(hidden), nullptr);

    UserSettings.SetFilterFlags(FILTER_SHOW_BLANK_TITLES);  // the other two bits change nothing
    dialog.Refresh();
    ASSERT_NE(EntryOf(shown), nullptr);
    ASSERT_NE(EntryOf(hidden), nullptr);
    EXPECT_STREQ(EntryOf(shown)->GetTitle(), "");
    EXPECT_EQ(EntryOf(hidden)->GetTitle(), SUFFIX);
    EXPECT_TRUE(RowsMatchEntries(dialog));
    DestroyWindow(shown);
    DestroyWindow(hidden);
}

TEST(Catalogue, OddTitlesAreListedAsRead)
{
    std::string longTitle(300, 'w');
    HWND longOne = CreateFixture(longTitle.c_str(), false);
    HWND spaces = CreateFixture("   ", true);
    HWND minimized = CreateFixture("Catalogue minimized", true);
    ShowWindow(minimized, SW_SHOWMINNOACTIVE);
    MainDialog dialog;
    EXPECT_GE(dialog.RowOf(std::string(254, 'w') + SUFFIX), 0) << "a long title is cut at 254 characters";
    ASSERT_NE(EntryOf(spaces), nullptr);
    EXPECT_STREQ(EntryOf(spaces)->GetTitle(), "   ");
    ASSERT_NE(EntryOf(minimized), nullptr);
    EXPECT_EQ(EntryOf(minimized)->GetStatus(), STATUS_VISIBLE);
    EXPECT_STREQ(EntryOf(minimized)->GetTitle(), "Catalogue minimized");
    EXPECT_GE(dialog.RowOf("Tarnavel"), 0) << "the program lists its own dialog";
    DestroyWindow(longOne);
    DestroyWindow(spaces);
    DestroyWindow(minimized);
}

TEST(Catalogue, StoredStatusOtherThanHiddenOrVisibleReadsAsUnknown)
{
    WindowEntry entry;
    EXPECT_STREQ(entry.GetTitle(), "");
    for (uint16_t stored : {0, 3, 7, 0xFFFF}) {
        entry.SetStatus(stored);
        EXPECT_EQ(entry.GetStatus(), STATUS_UNKNOWN) << stored;
    }
    entry.SetStatus(STATUS_HIDDEN);
    EXPECT_EQ(entry.GetStatus(), STATUS_HIDDEN);
}

TEST(Refresh, SelectsTheSameRowNumberWhateverItNowShows)
{
    std::vector<HWND> fixtures;
    for (int i = 0; i < 10; ++i)
        fixtures.push_back(CreateFixture(("Refresh row " + std::to_string(i)).c_str(), false));
    MainDialog dialog;
    ASSERT_GE(dialog.Rows().size(), 10u);
    SendMessageA(dialog.List(), LB_SETCURSEL, 4, 0);
    dialog.Command(IDC_WINDOW_LIST, LBN_SELCHANGE);
    std::string shownName = dialog.Text(IDC_WINDOW_NAME);
    CreateFixture("Refresh newcomer", false);  // shifts the rows
    dialog.Refresh();
    EXPECT_EQ(dialog.SelectedRow(), 4);
    EXPECT_EQ(selectedIndex, 4);
    EXPECT_NE(dialog.Rows()[4], shownName);
    EXPECT_EQ(dialog.Text(IDC_WINDOW_NAME), dialog.Rows()[4]) << "the details follow the row the buttons act on";

    std::vector<std::string> before = dialog.Rows();
    dialog.Refresh();
    EXPECT_EQ(dialog.Rows(), before) << "two refreshes with no change give the same rows";
    EXPECT_EQ(dialog.SelectedRow(), 4);

    int last = static_cast<int>(before.size()) - 1;
    SendMessageA(dialog.List(), LB_SETCURSEL, last, 0);
    for (HWND window : fixtures)
        DestroyWindow(window);
    dialog.Refresh();
    EXPECT_EQ(dialog.SelectedRow(), LB_ERR) << "a row past the end selects nothing";

    dialog.Refresh();
    EXPECT_EQ(dialog.SelectedRow(), LB_ERR) << "no selection stays none";
    EXPECT_TRUE(RowsMatchEntries(dialog));
    DestroyWindow(FindWindowA(nullptr, "Refresh newcomer"));
}

TEST(Refresh, RebuildsAndCommandsKeepNoTitleTheyReplaced)
{
    HWND shown = CreateFixture("Counted shown", true);
    HWND hidden = CreateFixture("Counted hidden", false);
    MainDialog dialog;
    long before = LiveAllocations();
    for (int i = 0; i < 3; ++i) {
        dialog.Refresh();
        dialog.Select("Counted shown");
        dialog.Command(IDC_HIDE);
        dialog.Command(IDC_RESTORE);
    }
    EXPECT_EQ(LiveAllocations() - before, 0) << "blocks kept by three rounds";
    EXPECT_TRUE(IsWindowVisible(shown));
    DestroyWindow(shown);
    DestroyWindow(hidden);
}

TEST(Refresh, FileRefreshAndTheRefreshButtonBothRebuild)
{
    MainDialog dialog;
    MessageCounter counter(dialog.List());
    HWND late = CreateFixture("Refresh late arrival", true);
    dialog.Command(IDC_REFRESH);
    EXPECT_GE(dialog.RowOf("Refresh late arrival"), 0);
    DestroyWindow(late);
    dialog.Command(ID_FILE_REFRESH);
    EXPECT_EQ(dialog.RowOf("Refresh late arrival"), -1);
    EXPECT_EQ(counter.Count(LB_RESETCONTENT), 2);
}

TEST(WindowsChangingBetweenPasses, MoreThanCountedAreLeftForTheNextRebuild)
{
    WindowThread other;
    std::vector<HWND> extras;
    HWND trigger = nullptr;
    other.Run([&] { trigger = CreateFixture("Between passes trigger", false); });
    SetFixtureHook([&](HWND window, UINT message, WPARAM, LPARAM) {
        if (window == trigger && message == WM_GETTEXT && WindowCatalogue.countingPass == 1 && extras.empty())
            for (int i = 0; i < 3; ++i)
                extras.push_back(CreateFixture(("Between passes extra " + std::to_string(i)).c_str(), false));
    });
    MainDialog dialog;
    ASSERT_EQ(extras.size(), 3u);
    EXPECT_EQ(WindowCatalogue.fillIndex, WindowCatalogue.capacity) << "every counted entry is filled";
    EXPECT_TRUE(RowsMatchEntries(dialog));
    SetFixtureHook(nullptr);
    dialog.Refresh();
    for (int i = 0; i < 3; ++i)
        EXPECT_GE(dialog.RowOf("Between passes extra " + std::to_string(i) + SUFFIX), 0);
    other.Run([&] {
        for (HWND window : extras)
            DestroyWindow(window);
        DestroyWindow(trigger);
    });
}

TEST(WindowsChangingBetweenPasses, FewerThanCountedLeaveEmptyEntriesWithoutRows)
{
    WindowThread other;
    std::vector<HWND> victims;
    HWND trigger = nullptr;
    other.Run([&] {
        // Created after the trigger, so enumerated before it: already counted when they go.
        trigger = CreateFixture("Between passes vanishing trigger", false);
        for (int i = 0; i < 3; ++i)
            victims.push_back(CreateFixture(("Between passes victim " + std::to_string(i)).c_str(), false));
    });
    bool destroyed = false;
    SetFixtureHook([&](HWND window, UINT message, WPARAM, LPARAM) {
        if (window == trigger && message == WM_GETTEXT && WindowCatalogue.countingPass == 1 && !destroyed) {
            destroyed = true;
            for (HWND victim : victims)
                DestroyWindow(victim);
        }
    });
    MainDialog dialog;
    ASSERT_TRUE(destroyed);
    EXPECT_EQ(WindowCatalogue.fillIndex + 3, WindowCatalogue.capacity);
    for (uint32_t i = WindowCatalogue.fillIndex; i < WindowCatalogue.capacity; ++i)
        EXPECT_FALSE(WindowCatalogue.entries[i].HasTitle()) << "entry " << i << " was never filled";
    EXPECT_TRUE(RowsMatchEntries(dialog));
    SetFixtureHook(nullptr);
    other.Run([&] { DestroyWindow(trigger); });
}

TEST(RefreshReentry, ARefreshDuringARebuildRunsOnceAfterIt)
{
    WindowThread other;
    HWND trigger = nullptr;
    other.Run([&] { trigger = CreateFixture("Reentry trigger", false); });
    MainDialog dialog;
    MessageCounter counter(dialog.List());
    int nested = 0;
    SetFixtureHook([&](HWND window, UINT message, WPARAM, LPARAM) {
        if (window == trigger && message == WM_GETTEXT && nested == 0) {
            ++nested;
            SendMessageA(dialog.Handle(), WM_USER + 100, 0, 0);
        }
    });
    dialog.Refresh();
    SetFixtureHook(nullptr);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(counter.Count(LB_RESETCONTENT), 2) << "the nested request ran after the rebuild, not inside it";
    EXPECT_TRUE(RowsMatchEntries(dialog));
    other.Run([&] { DestroyWindow(trigger); });
}

TEST(RefreshReentry, ARefreshAndACloseDuringARebuildRunNoFurtherRebuildThenOrLater)
{
    WindowThread other;
    HWND trigger = nullptr;
    other.Run([&] { trigger = CreateFixture("Reentry close trigger", false); });
    MainDialog dialog;
    MessageCounter counter(dialog.List());
    bool sent = false;
    SetFixtureHook([&](HWND window, UINT message, WPARAM, LPARAM) {
        if (window == trigger && message == WM_GETTEXT && !sent) {
            sent = true;
            SendMessageA(dialog.Handle(), WM_USER + 100, 0, 0);
            SendMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
        }
    });
    dialog.Refresh();
    SetFixtureHook(nullptr);
    EXPECT_TRUE(sent);
    EXPECT_EQ(counter.Count(LB_RESETCONTENT), 1) << "a rebuild ran between the first one and the close";
    EXPECT_EQ(catalogueInvalid, 1);
    EXPECT_EQ(WindowCatalogue.entries, nullptr);
    EXPECT_EQ(LookupEntry(0), nullptr);
    int rebuilds = counter.Count(LB_RESETCONTENT);
    dialog.Refresh();
    dialog.Command(IDC_HIDE);
    EXPECT_EQ(counter.Count(LB_RESETCONTENT), rebuilds) << "a refresh after closing touches nothing";
    other.Run([&] { DestroyWindow(trigger); });
}
