// The list handler and the five show-state commands. Each asks the window system to act
// on the selected window, keeps the entry's status and display title in step with what
// the window then did, replaces the entry's row in place and shows the details again.
#include <memory>

#include "../catalogue/catalogue.h"
#include "../catalogue/title_text.h"
#include "../platform/decimal_text.h"
#include "../platform/window_requests.h"
#include "../platform/window_system.h"
#include "../resources/resource.h"
#include "program_state.h"
#include "selection.h"

namespace {

using TitleBuilder = std::unique_ptr<char[]> (*)(const char*);

// Gives the entry the title built from its current one. When no memory can be had the
// entry stays exactly as it was and the result is false.
bool RetitleEntry(WindowEntry& entry, TitleBuilder buildTitle)
{
    scratchTitle = buildTitle(entry.GetTitle());
    bool stored = scratchTitle && entry.SetTitle(scratchTitle.get());
    scratchTitle.reset();
    return stored;
}

bool MarkHidden(WindowEntry& entry)
{
    if (!RetitleEntry(entry, AppendHiddenSuffix))
        return false;
    entry.SetHiddenSuffix(true);
    entry.SetStatus(STATUS_HIDDEN);
    return true;
}

bool MarkVisible(WindowEntry& entry)
{
    if (entry.HasHiddenSuffix() && !RetitleEntry(entry, RemoveHiddenSuffix))
        return false;
    entry.SetHiddenSuffix(false);
    entry.SetStatus(STATUS_VISIBLE);
    return true;
}

// A row that the list cannot take back would leave every later row showing the next
// entry's window; the rebuild asked for then runs once the command is over.
void ReplaceSelectedRow(HWND dialog, const WindowEntry& entry)
{
    HWND list = Control(dialog, IDC_WINDOW_LIST);
    ListDeleteRow(list, selectedIndex);
    bool replaced = ListInsertRow(list, selectedIndex, entry.GetTitle(), entry.GetHandle());
    ListSelectRow(list, selectedIndex);
    if (!replaced)
        SendRefresh(dialog);
}

void ShowDetails(HWND dialog, const WindowEntry& entry)
{
    ShowEntryDetails(entry);
    ShowWindowGeometry(dialog, entry.GetHandle());
}

void SetButtonsFor(HWND dialog, uint16_t status)
{
    EnableControl(dialog, IDC_HIDE, status != STATUS_HIDDEN);
    EnableControl(dialog, IDC_RESTORE, status == STATUS_HIDDEN);
}

// An Unknown status says nothing about which of Hide and Restore applies, so it leaves
// their enabling as it was.
void ShowNameAndStatus(HWND dialog, const WindowEntry& entry)
{
    ShowEntryDetails(entry);
    uint16_t status = entry.GetStatus();
    if (status == STATUS_HIDDEN || status == STATUS_VISIBLE)
        SetButtonsFor(dialog, status);
}

const char* StatusText(uint16_t status)
{
    switch (status) {
    case STATUS_HIDDEN:  return "Hidden";
    case STATUS_VISIBLE: return "Visible";
    default:             return "Unknown";
    }
}

// The entry changes only when the window ended as asked. Otherwise the command ends
// here with the details showing what is known: a window that ended otherwise refused
// (as a more privileged program's window refuses us) and keeps its entry; one whose
// request is still under way, or that is gone, is Unknown until the next rebuild.
bool EndedAsAsked(HWND dialog, WindowEntry& entry, bool finished, bool visible)
{
    HWND window = entry.GetHandle();
    bool exists = WindowExists(window);
    if (finished && exists && IsShown(window) == visible)
        return true;
    if (!finished || !exists)
        entry.SetStatus(STATUS_UNKNOWN);
    ShowDetails(dialog, entry);
    return false;
}

bool RequestShowState(HWND dialog, WindowEntry& entry, int showCommand, bool visible)
{
    return EndedAsAsked(dialog, entry, ShowWindowAs(entry.GetHandle(), showCommand), visible);
}

bool HideWindow(HWND window)
{
    return ShowWindowAs(window, SW_HIDE);
}

// Minimize and Maximize: the window is shown whatever its status was.
void ShowSelectedWindowAs(HWND dialog, int showCommand)
{
    WindowEntry* entry = ReadSelection(dialog);
    if (!entry || !RequestShowState(dialog, *entry, showCommand, true) || !MarkVisible(*entry))
        return;
    ReplaceSelectedRow(dialog, *entry);
    ShowDetails(dialog, *entry);
    SetButtonsFor(dialog, STATUS_VISIBLE);
}

// Hide and Restore: each acts only on an entry of the other status.
void ToggleHidden(HWND dialog, uint16_t from, bool (*request)(HWND), uint16_t to, bool (*mark)(WindowEntry&))
{
    WindowEntry* entry = ReadSelection(dialog);
    if (!entry || entry->GetStatus() != from)
        return;
    bool finished = request(entry->GetHandle());
    if (!EndedAsAsked(dialog, *entry, finished, to == STATUS_VISIBLE) || !mark(*entry))
        return;
    ReplaceSelectedRow(dialog, *entry);
    ShowDetails(dialog, *entry);
    SetButtonsFor(dialog, to);
}

}  // namespace

WindowEntry* ReadSelection(HWND dialog)
{
    HWND list = Control(dialog, IDC_WINDOW_LIST);
    int32_t row = ListSelectedRow(list);
    if (row == LB_ERR)
        return nullptr;
    selectedIndex = row;
    WindowEntry* entry = LookupEntry(selectedIndex);
    // Any program can add, remove or empty rows of our list. A row that no longer names
    // its entry's window must not be acted on; the rebuild asked for here runs once the
    // command is over, puts rows and entries back in step, and selects the window that
    // the row showed.
    HWND rowWindow = ListRowWindow(list, row);
    if (!entry || rowWindow != entry->GetHandle()) {
        reselectWindow = rowWindow;
        SendRefresh(dialog);
        return nullptr;
    }
    return entry;
}

void ShowGeometryFields(HWND dialog, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    // Unsigned differences: a rectangle at the far ends of the coordinate range wraps
    // the way the window system's own 32-bit arithmetic does.
    ShowNumber(dialog, IDC_EDIT_TOP, top);
    ShowNumber(dialog, IDC_EDIT_LEFT, left);
    ShowNumber(dialog, IDC_EDIT_WIDTH, static_cast<int32_t>(static_cast<uint32_t>(right) - static_cast<uint32_t>(left)));
    ShowNumber(dialog, IDC_EDIT_HEIGHT, static_cast<int32_t>(static_cast<uint32_t>(bottom) - static_cast<uint32_t>(top)));
}

void ShowWindowGeometry(HWND dialog, HWND window)
{
    RECT rect;
    if (ReadWindowPlace(window, &rect))
        ShowGeometryFields(dialog, rect.left, rect.top, rect.right, rect.bottom);
}

void ShowEntryDetails(const WindowEntry& entry)
{
    SetControlText(mainDialog, IDC_WINDOW_NAME, entry.GetTitle());
    SetControlText(mainDialog, IDC_WINDOW_STATUS, StatusText(entry.GetStatus()));
    detailsWindow = entry.GetHandle();
}

void OnListNotification(HWND dialog)
{
    if (catalogueInvalid == 1)
        return;
    WindowEntry* entry = ReadSelection(dialog);
    if (!entry)
        return;
    ShowWindowGeometry(dialog, entry->GetHandle());
    ShowNameAndStatus(dialog, *entry);
}

void FollowSelectionAfterRebuild(HWND dialog)
{
    HWND list = Control(dialog, IDC_WINDOW_LIST);
    HWND clicked = reselectWindow;
    reselectWindow = nullptr;
    int32_t clickedRow = clicked ? FindEntryRow(clicked) : LB_ERR;
    if (clickedRow != LB_ERR) {
        ListSelectRow(list, clickedRow);
        OnListNotification(dialog);
        return;
    }
    // The selection is kept by row number, and a reordered desktop can put another
    // window in that row. The buttons act on the row, so the details must name it too.
    // When it is still the same window, the new entry says how it was listed; only the
    // numbers typed into the fields are kept.
    if (!detailsWindow)
        return;
    WindowEntry* entry = LookupEntry(ListSelectedRow(list));
    if (!entry)
        return;
    if (entry->GetHandle() == detailsWindow)
        ShowNameAndStatus(dialog, *entry);
    else
        OnListNotification(dialog);
}

void HideSelectedWindow(HWND dialog)
{
    ToggleHidden(dialog, STATUS_VISIBLE, HideWindow, STATUS_HIDDEN, MarkHidden);
}

void RestoreSelectedWindow(HWND dialog)
{
    ToggleHidden(dialog, STATUS_HIDDEN, RestoreOntoScreen, STATUS_VISIBLE, MarkVisible);
}

void MinimizeSelectedWindow(HWND dialog)
{
    ShowSelectedWindowAs(dialog, SW_SHOWMINIMIZED);
}

void MaximizeSelectedWindow(HWND dialog)
{
    ShowSelectedWindowAs(dialog, SW_SHOWMAXIMIZED);
}

void SetSelectedWindowPosition(HWND dialog)
{
    // "Horz" holds the top edge and "Vertical" the left edge, both ways round.
    int32_t y = ReadNumber(dialog, IDC_EDIT_TOP);
    int32_t x = ReadNumber(dialog, IDC_EDIT_LEFT);
    int32_t width = ReadNumber(dialog, IDC_EDIT_WIDTH);
    int32_t height = ReadNumber(dialog, IDC_EDIT_HEIGHT);
    WindowEntry* entry = ReadSelection(dialog);
    if (!entry)
        return;
    bool finished = PlaceAtBottomAndShow(entry->GetHandle(), x, y, width, height);
    bool suffixed = entry->HasHiddenSuffix();
    if (!EndedAsAsked(dialog, *entry, finished, true) || !MarkVisible(*entry))
        return;
    // A row without the suffix already reads as it should and is left alone.
    if (suffixed)
        ReplaceSelectedRow(dialog, *entry);
    ShowDetails(dialog, *entry);
    SetButtonsFor(dialog, STATUS_VISIBLE);
}
