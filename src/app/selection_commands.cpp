// The list handler and the five show-state commands. Each keeps the selected entry's
// status and display title in step with what it asked of the window system, then
// replaces the entry's row in place and shows the details again.
#include <memory>

#include "../catalogue/catalogue.h"
#include "../catalogue/title_text.h"
#include "../platform/decimal_text.h"
#include "../platform/window_system.h"
#include "../resources/resource.h"
#include "program_state.h"
#include "selection.h"

namespace {

using TitleBuilder = std::unique_ptr<char[]> (*)(const char*);

// Gives the entry its new status and the title built from the current one. When no
// memory can be had the entry stays exactly as it was, so a Hidden entry never
// lacks its suffix, and the result is false.
bool ChangeEntry(WindowEntry& entry, uint16_t status, TitleBuilder buildTitle)
{
    scratchTitle = buildTitle(entry.GetTitle());
    bool stored = scratchTitle && entry.SetTitle(scratchTitle.get());
    scratchTitle.reset();
    if (stored)
        entry.SetStatus(status);
    return stored;
}

void ReplaceSelectedRow(HWND dialog, const WindowEntry& entry)
{
    HWND list = Control(dialog, IDC_WINDOW_LIST);
    ListDeleteRow(list, selectedIndex);
    ListInsertRow(list, selectedIndex, entry.GetTitle());
    ListSelectRow(list, selectedIndex);
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

const char* StatusText(uint16_t status)
{
    switch (status) {
    case STATUS_HIDDEN:  return "Hidden";
    case STATUS_VISIBLE: return "Visible";
    default:             return "Unknown";
    }
}

// Minimize and Maximize: the window is shown whatever its status was.
void ShowSelectedWindowAs(HWND dialog, int showCommand)
{
    WindowEntry* entry = ReadSelection(dialog);
    if (!entry)
        return;
    ShowWindowAs(entry->GetHandle(), showCommand);
    if (entry->GetStatus() == STATUS_HIDDEN) {
        if (!ChangeEntry(*entry, STATUS_VISIBLE, RemoveHiddenSuffix))
            return;
    } else {
        entry->SetStatus(STATUS_VISIBLE);
    }
    ReplaceSelectedRow(dialog, *entry);
    ShowDetails(dialog, *entry);
    SetButtonsFor(dialog, STATUS_VISIBLE);
}

// Hide and Restore: each acts only on an entry of the other status.
void ToggleHidden(HWND dialog, uint16_t from, int showCommand, uint16_t to, TitleBuilder buildTitle)
{
    WindowEntry* entry = ReadSelection(dialog);
    if (!entry || entry->GetStatus() != from)
        return;
    ShowWindowAs(entry->GetHandle(), showCommand);
    if (!ChangeEntry(*entry, to, buildTitle))
        return;
    ReplaceSelectedRow(dialog, *entry);
    ShowDetails(dialog, *entry);
    SetButtonsFor(dialog, to);
}

}  // namespace

WindowEntry* ReadSelection(HWND dialog)
{
    int32_t row = ListSelectedRow(Control(dialog, IDC_WINDOW_LIST));
    if (row == LB_ERR)
        return nullptr;
    selectedIndex = row;
    return LookupEntry(selectedIndex);
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
    if (ReadWindowRect(window, &rect))
        ShowGeometryFields(dialog, rect.left, rect.top, rect.right, rect.bottom);
}

void ShowEntryDetails(const WindowEntry& entry)
{
    HWND dialog = mainDialog;
    SetControlText(dialog, IDC_WINDOW_NAME, entry.GetTitle());
    SetControlText(dialog, IDC_WINDOW_STATUS, StatusText(entry.GetStatus()));
}

void OnListNotification(HWND dialog)
{
    if (catalogueInvalid == 1)
        return;
    WindowEntry* entry = ReadSelection(dialog);
    if (!entry)
        return;
    ShowWindowGeometry(dialog, entry->GetHandle());
    ShowEntryDetails(*entry);
    uint16_t status = entry->GetStatus();
    if (status == STATUS_HIDDEN || status == STATUS_VISIBLE)
        SetButtonsFor(dialog, status);
}

void HideSelectedWindow(HWND dialog)
{
    ToggleHidden(dialog, STATUS_VISIBLE, SW_HIDE, STATUS_HIDDEN, AppendHiddenSuffix);
}

void RestoreSelectedWindow(HWND dialog)
{
    ToggleHidden(dialog, STATUS_HIDDEN, SW_RESTORE, STATUS_VISIBLE, RemoveHiddenSuffix);
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
    PlaceAtBottomAndShow(entry->GetHandle(), x, y, width, height);
    if (entry->GetStatus() == STATUS_HIDDEN) {
        if (!ChangeEntry(*entry, STATUS_VISIBLE, RemoveHiddenSuffix))
            return;
        ReplaceSelectedRow(dialog, *entry);
    }
    entry->SetStatus(STATUS_VISIBLE);
    ShowDetails(dialog, *entry);
    SetButtonsFor(dialog, STATUS_VISIBLE);
}
