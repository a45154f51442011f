// The window catalogue: the desktop's top-level windows, row for row with the main
// dialog's list box, built by a counting pass and a filling pass and rebuilt whole.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "window_entry.h"

// A window title is read with this count: at most 254 characters and a terminator.
constexpr int TITLE_READ_COUNT = 255;

struct CatalogueRecord {
    std::unique_ptr<WindowEntry[]> entries;  // none before the first build and after a free
    uint32_t capacity = 0;                   // elements of entries
    uint32_t fillIndex = 0;                  // filled entries, and rows in the list
    uint32_t countingPass = 0;               // 1 while the counting pass runs
    uint32_t windowsCounted = 0;             // qualifying windows of the last counting pass
};

// Dialog thread only.
extern CatalogueRecord WindowCatalogue;

BOOL CALLBACK CatalogueEnumProc(HWND window, LPARAM unused);

// Builds a new catalogue of the windows there are now, appends a row for each to list,
// then selects selectRow (LB_ERR for none). Untitled windows are listed only with
// blankTitles. Expects no catalogue and an empty list.
void RebuildCatalogue(HWND list, bool blankTitles, int32_t selectRow);

// Releases every entry and the array; harmless when there is no catalogue.
void FreeCatalogue();

// The entry shown in row index, or null when no entry stands there.
WindowEntry* LookupEntry(int32_t index);
// The row of window's entry, or LB_ERR (-1) when it is not listed.
int32_t FindEntryRow(HWND window);

// Rebuilds the catalogue and the list whole, selecting the same row number again.
void RefreshCatalogue(HWND list, bool blankTitles);
