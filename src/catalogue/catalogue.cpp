// Catalogue building: count the qualifying windows, make the array once at that size,
// then fill it and the list in the window system's order.
#include "catalogue.h"

#include <cstring>
#include <new>

#include "../platform/window_system.h"
#include "title_text.h"

CatalogueRecord WindowCatalogue;

namespace {

// What the rebuild under way was given, for the enumeration procedure of both passes.
HWND fillList;            // the list the filling pass appends to
bool listBlankTitles;     // untitled windows qualify too
size_t countedTitleBytes; // bytes of the titles the counting pass counted, terminators included

// With UTF-8 as the program's code page a title cut at the read's byte limit may end
// inside a character; drop the partial character rather than show garbage.
void TrimPartialCharacter(char* title)
{
    static const bool utf8 = GetACP() == CP_UTF8;
    if (utf8) {
        size_t length = strlen(title);
        title[CompleteUtf8Length(title, length)] = '\0';
    }
}

void FillEntry(HWND window, const char* text)
{
    // More windows qualify now than were counted: they wait for the next rebuild,
    // so that no entry is written beyond capacity and rows and entries stay paired.
    if (WindowCatalogue.fillIndex >= WindowCatalogue.capacity)
        return;
    bool hidden = !IsShown(window);
    // One allocation per entry: the display title is made once and the entry keeps it.
    std::unique_ptr<char[]> title = hidden ? AppendHiddenSuffix(text) : CopyText(text);
    if (!title)
        return;
    WindowEntry& entry = WindowCatalogue.entries[WindowCatalogue.fillIndex];
    entry.SetStatus(hidden ? STATUS_HIDDEN : STATUS_VISIBLE);
    entry.TakeTitle(std::move(title));
    entry.SetHiddenSuffix(hidden);
    entry.SetHandle(window);
    // A row the list could not take gets no entry either: the next window reuses it.
    if (ListAddRow(fillList, entry.GetTitle(), window))
        ++WindowCatalogue.fillIndex;
}

}  // namespace

BOOL CALLBACK CatalogueEnumProc(HWND window, LPARAM)
{
    char text[TITLE_READ_COUNT];
    ReadWindowTitle(window, text, TITLE_READ_COUNT);
    TrimPartialCharacter(text);
    if (!listBlankTitles && text[0] == '\0')
        return TRUE;
    if (WindowCatalogue.countingPass == 1) {
        ++WindowCatalogue.windowsCounted;
        countedTitleBytes += strlen(text) + 1;
        return TRUE;
    }
    FillEntry(window, text);
    return TRUE;
}

void RebuildCatalogue(HWND list, bool blankTitles, int32_t selectRow)
{
    fillList = list;
    listBlankTitles = blankTitles;
    WindowCatalogue.countingPass = 1;
    WindowCatalogue.windowsCounted = 0;
    countedTitleBytes = 0;
    EnumWindows(CatalogueEnumProc, 0);
    WindowCatalogue.countingPass = 0;

    uint32_t count = WindowCatalogue.windowsCounted;
    std::unique_ptr<WindowEntry[]> entries(new (std::nothrow) WindowEntry[count]);
    // Without storage the catalogue is empty and the filling pass lists nothing.
    WindowCatalogue.capacity = entries ? count : 0;
    WindowCatalogue.entries = std::move(entries);
    WindowCatalogue.fillIndex = 0;
    // The counting pass knows how many rows are coming: room for all of them at once
    // rather than a list growing row by row.
    ListReserveRows(fillList, WindowCatalogue.capacity, countedTitleBytes);

    EnumWindows(CatalogueEnumProc, 0);
    ListSelectRow(fillList, selectRow);
}

void FreeCatalogue()
{
    WindowCatalogue.entries.reset();
    WindowCatalogue.capacity = 0;
    WindowCatalogue.fillIndex = 0;
}

WindowEntry* LookupEntry(int32_t index)
{
    if (index < 0 || !WindowCatalogue.entries || static_cast<uint32_t>(index) >= WindowCatalogue.fillIndex)
        return nullptr;
    return &WindowCatalogue.entries[index];
}

int32_t FindEntryRow(HWND window)
{
    for (uint32_t row = 0; row < WindowCatalogue.fillIndex; ++row)
        if (WindowCatalogue.entries[row].GetHandle() == window)
            return static_cast<int32_t>(row);
    return LB_ERR;
}

void RefreshCatalogue(HWND list, bool blankTitles)
{
    int32_t selected = ListSelectedRow(list);
    int32_t top = ListTopRow(list);
    SCROLLINFO barBefore = ListScrollBar(list);
    // One repaint for the whole rebuild instead of one per row.
    ListRedrawOff(list);
    FreeCatalogue();
    ListClear(list);
    RebuildCatalogue(list, blankTitles, selected);
    // Selecting scrolls the row into view; when it was already in view, put the view
    // back where the user left it so that periodic rebuilds do not make it jump.
    if (selected == LB_ERR || (selected >= top && selected < top + ListVisibleRowCount(list)))
        ListSetTopRow(list, top);
    ListRedrawOn(list, barBefore);
}
