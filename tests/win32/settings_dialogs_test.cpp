// The About and settings dialogs, opened through the main dialog's commands and driven
// from inside their own modal loops: what they show, what OK stores, and that every
// other way out stores nothing.
#include "harness.h"

#include <cstdint>
#include <string>

#include "catalogue/catalogue.h"
#include "resources/resource.h"
#include "settings/user_settings.h"

namespace {

const char ABOUT_CAPTION[] = "About Tarnavel";
const char SIZE_STEP_CAPTION[] = "Set Resizing Value";
const char POSITION_STEP_CAPTION[] = "Set Reposition Value";
const char FILTERS_CAPTION[] = "Filters";
const char AUTO_REFRESH_CAPTION[] = "Auto Refresh";

// Every stored setting at once, so "nothing stored" is one comparison.
struct SettingsSnapshot {
    int32_t positionStep;
    int32_t sizeStep;
    int16_t autoRefreshOn;
    int32_t filterFlags;
    int32_t refreshIntervalMs;

    bool operator==(const SettingsSnapshot& other) const
    {
        return positionStep == other.positionStep && sizeStep == other.sizeStep
               && autoRefreshOn == other.autoRefreshOn && filterFlags == other.filterFlags
               && refreshIntervalMs == other.refreshIntervalMs;
    }
};

std::ostream& operator<<(std::ostream& out, const SettingsSnapshot& s)
{
    return out << "{position " << s.positionStep << ", size " << s.sizeStep << ", auto " << s.autoRefreshOn
               << ", filters " << s.filterFlags << ", interval " << s.refreshIntervalMs << "}";
}

SettingsSnapshot StoredSettings()
{
    return {UserSettings.GetPositionStep(), UserSettings.GetSizeStep(), UserSettings.GetAutoRefresh(),
            UserSettings.GetFilterFlags(), UserSettings.GetRefreshInterval()};
}

std::string ControlText(HWND dialog, int controlId)
{
    return WindowTextOf(GetDlgItem(dialog, controlId));
}

bool Ticked(HWND dialog, int controlId)
{
    return IsDlgButtonChecked(dialog, controlId) == BST_CHECKED;
}

// What a click on a push button delivers to its dialog.
void Press(HWND dialog, int buttonId)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void Type(HWND dialog, int editId, const char* text)
{
    SetWindowTextA(GetDlgItem(dialog, editId), text);
}

// A real click, so an auto check box toggles itself as it would under the mouse.
void Toggle(HWND dialog, int boxId)
{
    SendMessageA(GetDlgItem(dialog, boxId), BM_CLICK, 0, 0);
}

// One of the four settings dialogs, and an edit that OK would store.
struct SettingsDialog {
    const char* name;
    WORD command;
    const char* caption;
    void (*changeControls)(HWND dialog);
    int keyTarget;  // the control that has the focus when a key is pressed
    bool rebuildsAfter;
};

const SettingsDialog SETTINGS_DIALOGS[] = {
    {"size step", ID_OPTIONS_SIZE_STEP, SIZE_STEP_CAPTION,
     [](HWND d) { Type(d, IDC_SIZE_STEP_EDIT, "42"); }, IDC_SIZE_STEP_EDIT, false},
    {"position step", ID_OPTIONS_POSITION_STEP, POSITION_STEP_CAPTION,
     [](HWND d) { Type(d, IDC_POSITION_STEP_EDIT, "43"); }, IDC_POSITION_STEP_EDIT, false},
    {"filters", ID_OPTIONS_FILTERS, FILTERS_CAPTION,
     [](HWND d) {
         Toggle(d, IDC_SHOW_BLANK);
         SendMessageA(GetDlgItem(d, IDC_SHOW_VISIBLE), BM_SETCHECK, BST_UNCHECKED, 0);
         SendMessageA(GetDlgItem(d, IDC_SHOW_HIDDEN), BM_SETCHECK, BST_UNCHECKED, 0);
     },
     IDC_SHOW_BLANK, true},
    {"auto refresh", ID_OPTIONS_REFRESH_RATE, AUTO_REFRESH_CAPTION,
     [](HWND d) {
         Toggle(d, IDC_AUTO_REFRESH_ON);
         Type(d, IDC_REFRESH_INTERVAL, "500");
     },
     IDC_REFRESH_INTERVAL, true},
};

// A setting edited as decimal text.
struct NumberSetting {
    const char* name;
    WORD command;
    const char* caption;
    int editId;
    int32_t (*stored)();
    void (*store)(int32_t value);
};

const NumberSetting NUMBER_SETTINGS[] = {
    {"size step", ID_OPTIONS_SIZE_STEP, SIZE_STEP_CAPTION, IDC_SIZE_STEP_EDIT,
     [] { return UserSettings.GetSizeStep(); }, [](int32_t v) { UserSettings.SetSizeStep(v); }},
    {"position step", ID_OPTIONS_POSITION_STEP, POSITION_STEP_CAPTION, IDC_POSITION_STEP_EDIT,
     [] { return UserSettings.GetPositionStep(); }, [](int32_t v) { UserSettings.SetPositionStep(v); }},
    {"refresh interval", ID_OPTIONS_REFRESH_RATE, AUTO_REFRESH_CAPTION, IDC_REFRESH_INTERVAL,
     [] { return UserSettings.GetRefreshInterval(); }, [](int32_t v) { UserSettings.SetRefreshInterval(v); }},
};

// Types text into the setting's field and presses OK.
ModalRun StoreThroughDialog(MainDialog& tarnavel, const NumberSetting& setting, const char* text)
{
    return RunModalDialog(tarnavel, setting.command, setting.caption,
                          {DialogAction([&](HWND d) { Type(d, setting.editId, text); }),
                           DialogAction([](HWND d) { Press(d, IDC_OK_BUTTON); })});
}

int CatalogueRowOf(HWND window)
{
    for (uint32_t i = 0; i < WindowCatalogue.fillIndex; ++i)
        if (WindowCatalogue.entries[i].GetHandle() == window)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

// ---- What the dialogs show -----------------------------------------------------

TEST(SettingsDialogs, OpenShowingTheDefaults)
{
    MainDialog tarnavel;
    std::string sizeText, positionText, intervalText;
    bool autoOn = true;
    RunModalDialog(tarnavel, ID_OPTIONS_SIZE_STEP, SIZE_STEP_CAPTION,
                   {DialogAction([&](HWND d) { sizeText = ControlText(d, IDC_SIZE_STEP_EDIT); }),
                    DialogAction([](HWND d) { Press(d, IDC_CANCEL_BUTTON); })});
    RunModalDialog(tarnavel, ID_OPTIONS_POSITION_STEP, POSITION_STEP_CAPTION,
                   {DialogAction([&](HWND d) { positionText = ControlText(d, IDC_POSITION_STEP_EDIT); }),
                    DialogAction([](HWND d) { Press(d, IDC_CANCEL_BUTTON); })});
    RunModalDialog(tarnavel, ID_OPTIONS_REFRESH_RATE, AUTO_REFRESH_CAPTION,
                   {DialogAction([&](HWND d) {
                        intervalText = ControlText(d, IDC_REFRESH_INTERVAL);
                        autoOn = Ticked(d, IDC_AUTO_REFRESH_ON);
                    }),
                    DialogAction([](HWND d) { Press(d, IDC_CANCEL_BUTTON); })});
    EXPECT_EQ(sizeText, "1");
    EXPECT_EQ(positionText, "1");
    EXPECT_EQ(intervalText, "1000");
    EXPECT_FALSE(autoOn);

    bool visibleTicked = false, hiddenTicked = false, blankTicked = true;
    bool visibleEnabled = true, hiddenEnabled = true, blankEnabled = false;
    ModalRun run = RunModalDialog(tarnavel, ID_OPTIONS_FILTERS, FILTERS_CAPTION,
                                  {DialogAction([&](HWND d) {
                                       visibleTicked = Ticked(d, IDC_SHOW_VISIBLE);
                                       hiddenTicked = Ticked(d, IDC_SHOW_HIDDEN);
                                       blankTicked = Ticked(d, IDC_SHOW_BLANK);
                                       visibleEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SHOW_VISIBLE));
                                       hiddenEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SHOW_HIDDEN));
                                       blankEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SHOW_BLANK));
                                   }),
                                   DialogAction([](HWND d) { Press(d, IDC_CANCEL_BUTTON); })});
    ASSERT_TRUE(run.opened);
    EXPECT_TRUE(visibleTicked);
    EXPECT_TRUE(hiddenTicked);
    EXPECT_FALSE(blankTicked);
    EXPECT_FALSE(visibleEnabled);
    EXPECT_FALSE(hiddenEnabled);
    EXPECT_TRUE(blankEnabled);
}

// ---- What OK stores ------------------------------------------------------------

TEST(SettingsDialogs, OkStoresTheTypedNumberAsTheDecimalConversionReadsIt)
{
    struct Case {
        const char* text;
        int32_t stored;
    };
    const Case cases[] = {
        {"", 0},
        {"  25", 25},
        {"-3", -3},
        {"12abc", 12},
        {"abc", 0},
        {"+7", 7},
        {"0000000000000012", 1},  // only the first 15 characters are read
        {"4294967297", 1},        // wraps around in 32 bits
        {"2147483648", INT32_MIN},
    };
    MainDialog tarnavel;
    for (const NumberSetting& setting : NUMBER_SETTINGS) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(setting.name) + " typed as \"" + c.text + "\"");
            setting.store(777);
            ModalRun run = StoreThroughDialog(tarnavel, setting, c.text);
            EXPECT_TRUE(run.opened);
            EXPECT_FALSE(run.leftOpen) << "OK did not end the dialog";
            EXPECT_EQ(setting.stored(), c.stored);
        }
    }
}

TEST(SettingsDialogs, EachOpeningShowsWhatWasStoredLast)
{
    MainDialog tarnavel;
    for (const NumberSetting& setting : NUMBER_SETTINGS) {
        SCOPED_TRACE(setting.name);
        StoreThroughDialog(tarnavel, setting, "-250");
        std::string shown;
        RunModalDialog(tarnavel, setting.command, setting.caption,
                       {DialogAction([&](HWND d) { shown = ControlText(d, setting.editId); }),
                        DialogAction([](HWND d) { Press(d, IDC_CANCEL_BUTTON); })});
        EXPECT_EQ(shown, "-250");
    }
}

// ---- Ways out that store nothing -----------------------------------------------

TEST(SettingsDialogs, CancelAndCloseStoreNothingWhateverWasChanged)
{
    MainDialog tarnavel;
    RebuildLog rebuilds(tarnavel);
    const struct {
        const char* name;
        std::function<void(HWND)> leave;
    } ways[] = {
        {"Cancel", [](HWND d) { Press(d, IDC_CANCEL_BUTTON); }},
        {"close box", [](HWND d) { SendMessageA(d, WM_CLOSE, 0, 0); }},
    };
    for (const SettingsDialog& dialog : SETTINGS_DIALOGS) {
        for (const auto& way : ways) {
            SCOPED_TRACE(std::string(dialog.name) + " left by " + way.name);
            SettingsSnapshot before = StoredSettings();
            int rebuildsBefore = rebuilds.Count();
            ModalRun run = RunModalDialog(tarnavel, dialog.command, dialog.caption,
                                          {DialogAction(dialog.changeControls), DialogAction(way.leave)});
            EXPECT_TRUE(run.opened);
            EXPECT_FALSE(run.leftOpen);
            EXPECT_EQ(StoredSettings(), before);
            // The rebuild is part of the command, so it has happened by now.
            EXPECT_EQ(rebuilds.Count() - rebuildsBefore, dialog.rebuildsAfter ? 1 : 0);
        }
    }
}

TEST(SettingsDialogs, AboutClosesOnlyWhenItsWindowIsClosedAndNeverRebuilds)
{
    MainDialog tarnavel;
    RebuildLog rebuilds(tarnavel);
    for (WORD command : {WORD(IDC_ABOUT), WORD(ID_HELP_ABOUT)}) {
        SCOPED_TRACE(command);
        SettingsSnapshot before = StoredSettings();
        bool openAfterCommands = false;
        ModalRun run = RunModalDialog(tarnavel, command, ABOUT_CAPTION,
                                      {DialogAction([&](HWND d) {
                                           for (int id : {IDOK, IDCANCEL, IDC_OK_BUTTON, IDC_CANCEL_BUTTON, 0})
                                               SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
                                       }),
                                       DialogAction([&](HWND d) { openAfterCommands = IsWindowVisible(d) != FALSE; }),
                                       DialogAction([](HWND d) { SendMessageA(d, WM_CLOSE, 0, 0); })});
        EXPECT_TRUE(run.opened);
        EXPECT_TRUE(openAfterCommands);
        EXPECT_FALSE(run.leftOpen) << "WM_CLOSE did not end About";
        EXPECT_EQ(StoredSettings(), before);
    }
    EXPECT_EQ(rebuilds.Count(), 0);
}

TEST(SettingsDialogs, EnterAndEscapeLeaveEveryDialogOpenAndStoreNothing)
{
    struct Target {
        const char* name;
        WORD command;
        const char* caption;
        void (*changeControls)(HWND);
        int keyTarget;  // 0: the dialog itself, which has no control to focus
    };
    std::vector<Target> targets;
    for (const SettingsDialog& d : SETTINGS_DIALOGS)
        targets.push_back({d.name, d.command, d.caption, d.changeControls, d.keyTarget});
    targets.push_back({"about", ID_HELP_ABOUT, ABOUT_CAPTION, [](HWND) {}, 0});

    MainDialog tarnavel;
    for (const Target& target : targets) {
        SCOPED_TRACE(target.name);
        SettingsSnapshot before = StoredSettings();
        bool openAfterIdOk = false, openAfterIdCancel = false, openAfterEnter = false, openAfterEscape = false;
        SettingsSnapshot afterKeys = before;
        auto postKey = [&target](UINT key) {
            return DialogAction([&target, key](HWND d) {
                HWND focus = target.keyTarget ? GetDlgItem(d, target.keyTarget) : d;
                SetFocus(focus);
                PostMessageA(focus, WM_KEYDOWN, key, 1);
                PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
            });
        };
        // Each check runs on the tick after the key, once the modal loop has handled it.
        ModalRun run = RunModalDialog(
            tarnavel, target.command, target.caption,
            {DialogAction(target.changeControls),
             DialogAction([&](HWND d) {
                 SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                 openAfterIdOk = IsWindowVisible(d) != FALSE;
                 SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                 openAfterIdCancel = IsWindowVisible(d) != FALSE;
             }),
             postKey(VK_RETURN),
             DialogAction([&](HWND d) { openAfterEnter = IsWindowVisible(d) != FALSE; }),
             postKey(VK_ESCAPE),
             DialogAction([&](HWND d) {
                 openAfterEscape = IsWindowVisible(d) != FALSE;
                 afterKeys = StoredSettings();
             }),
             DialogAction([](HWND d) { SendMessageA(d, WM_CLOSE, 0, 0); })});
        EXPECT_TRUE(run.opened);
        EXPECT_EQ(run.stepsRun, 7u) << "the dialog ended before the last step";
        EXPECT_TRUE(openAfterIdOk);
        EXPECT_TRUE(openAfterIdCancel);
        EXPECT_TRUE(openAfterEnter);
        EXPECT_TRUE(openAfterEscape);
        EXPECT_EQ(afterKeys, before);
        EXPECT_EQ(StoredSettings(), before);
    }
}

// ---- Auto refresh and filters --------------------------------------------------

TEST(SettingsDialogs, AutoRefreshOkStoresSwitchAndIntervalAndRebuildsAtOnce)
{
    MainDialog tarnavel;
    RebuildLog rebuilds(tarnavel);
    bool tickedByClick = false;
    ModalRun run = RunModalDialog(tarnavel, ID_OPTIONS_REFRESH_RATE, AUTO_REFRESH_CAPTION,
                                  {DialogAction([&](HWND d) {
                                       Toggle(d, IDC_AUTO_REFRESH_ON);
                                       tickedByClick = Ticked(d, IDC_AUTO_REFRESH_ON);
                                       Type(d, IDC_REFRESH_INTERVAL, "500");
                                   }),
                                   DialogAction([](HWND d) { Press(d, IDC_OK_BUTTON); })});
    ASSERT_TRUE(run.opened);
    EXPECT_FALSE(run.leftOpen);
    EXPECT_TRUE(tickedByClick);
    EXPECT_EQ(UserSettings.GetAutoRefresh(), 1);
    EXPECT_EQ(UserSettings.GetRefreshInterval(), 500);
    EXPECT_GE(rebuilds.Count(), 1) << "no rebuild right after OK";

    // The next opening shows what was stored; unticking turns it off again.
    bool shownTicked = false;
    std::string shownInterval;
    RunModalDialog(tarnavel, ID_OPTIONS_REFRESH_RATE, AUTO_REFRESH_CAPTION,
                   {DialogAction([&](HWND d) {
                        shownTicked = Ticked(d, IDC_AUTO_REFRESH_ON);
                        shownInterval = ControlText(d, IDC_REFRESH_INTERVAL);
                        Toggle(d, IDC_AUTO_REFRESH_ON);
                    }),
                    DialogAction([](HWND d) { Press(d, IDC_OK_BUTTON); })});
    EXPECT_TRUE(shownTicked);
    EXPECT_EQ(shownInterval, "500");
    EXPECT_EQ(UserSettings.GetAutoRefresh(), 0);
    EXPECT_EQ(UserSettings.GetRefreshInterval(), 500);
}

TEST(SettingsDialogs, FiltersShowEveryStoredCombinationAndOkWritesItBackUnchanged)
{
    MainDialog tarnavel;
    for (int32_t flags = 0; flags <= 7; ++flags) {
        SCOPED_TRACE("filter flags " + std::to_string(flags));
        UserSettings.SetFilterFlags(flags);
        bool visible = false, hidden = false, blank = false;
        ModalRun run = RunModalDialog(tarnavel, ID_OPTIONS_FILTERS, FILTERS_CAPTION,
                                      {DialogAction([&](HWND d) {
                                           visible = Ticked(d, IDC_SHOW_VISIBLE);
                                           hidden = Ticked(d, IDC_SHOW_HIDDEN);
                                           blank = Ticked(d, IDC_SHOW_BLANK);
                                       }),
                                       DialogAction([](HWND d) { Press(d, IDC_OK_BUTTON); })});
        EXPECT_TRUE(run.opened);
        EXPECT_FALSE(run.leftOpen);
        EXPECT_EQ(visible, (flags & FILTER_SHOW_VISIBLE) != 0);
        EXPECT_EQ(hidden, (flags & FILTER_SHOW_HIDDEN) != 0);
        EXPECT_EQ(blank, (flags & FILTER_SHOW_BLANK_TITLES) != 0);
        EXPECT_EQ(UserSettings.GetFilterFlags(), flags);
    }
}

TEST(SettingsDialogs, FiltersOkClearsTheFlagOfEachBoxUnticked)
{
    MainDialog tarnavel;
    const struct { int box; int32_t flag; } boxes[] = {
        {IDC_SHOW_VISIBLE, FILTER_SHOW_VISIBLE}, {IDC_SHOW_HIDDEN, FILTER_SHOW_HIDDEN}, {IDC_SHOW_BLANK, FILTER_SHOW_BLANK_TITLES}};
    for (const auto& b : boxes) {
        UserSettings.SetFilterFlags(7);
        RunModalDialog(tarnavel, ID_OPTIONS_FILTERS, FILTERS_CAPTION,
                       {DialogAction([&](HWND d) { SendMessageA(GetDlgItem(d, b.box), BM_SETCHECK, BST_UNCHECKED, 0); }),
                        DialogAction([](HWND d) { Press(d, IDC_OK_BUTTON); })});
        EXPECT_EQ(UserSettings.GetFilterFlags(), 7 & ~b.flag) << "box " << b.box;
    }
}

TEST(SettingsDialogs, TickingBlankTitlesListsUntitledWindowsAsEmptyRows)
{
    HWND untitled = CreateFixture("", true);
    MainDialog tarnavel;
    EXPECT_EQ(CatalogueRowOf(untitled), -1);
    RebuildLog rebuilds(tarnavel);
    ModalRun run = RunModalDialog(tarnavel, ID_OPTIONS_FILTERS, FILTERS_CAPTION,
                                  {DialogAction([](HWND d) { Toggle(d, IDC_SHOW_BLANK); }),
                                   DialogAction([](HWND d) { Press(d, IDC_OK_BUTTON); })});
    EXPECT_TRUE(run.opened);
    EXPECT_EQ(UserSettings.GetFilterFlags(), 7);
    EXPECT_EQ(rebuilds.Count(), 1);
    int row = CatalogueRowOf(untitled);
    ASSERT_GE(row, 0) << "the untitled window is not listed";
    std::vector<std::string> rows = tarnavel.Rows();
    ASSERT_LT(row, static_cast<int>(rows.size()));
    EXPECT_EQ(rows[row], "");
    DestroyWindow(untitled);
}

// ---- Effects of the stored steps -------------------------------------------------

TEST(SettingsDialogs, PositionStepStoredThroughTheDialogIsWhatUpMovesBy)
{
    HWND target = CreateFixture("settings-step-target", true, 100, 200, 640, 480);
    MainDialog tarnavel;
    const NumberSetting& positionStep = NUMBER_SETTINGS[1];

    StoreThroughDialog(tarnavel, positionStep, "10");
    ASSERT_GE(tarnavel.Select("settings-step-target"), 0);
    tarnavel.Command(IDC_MOVE_UP);
    EXPECT_TRUE(HasRect(target, 100, 190, 640, 480));

    StoreThroughDialog(tarnavel, positionStep, "0");
    ASSERT_GE(tarnavel.Select("settings-step-target"), 0);
    tarnavel.Command(IDC_MOVE_UP);
    EXPECT_TRUE(HasRect(target, 100, 190, 640, 480));
    DestroyWindow(target);
}
