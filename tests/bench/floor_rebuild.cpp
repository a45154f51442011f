// bench_floor.exe: the least work any rebuild of the window list must do, in a program
// of its own, so that the benchmark can time it exactly as it times Tarnavel: on the
// private refresh message, empty the list with its redraw off, count the titled
// windows in one pass, and add a row per titled window in a second pass, reading every
// title in both passes with the count 255 and asking about visibility in the second.
// Nothing is kept: no entries, no copies of titles, no selection.
#include <windows.h>

#include <cstring>

#include "bench_support.h"

namespace {

const int IDD_FLOOR = 100;
const int IDC_FLOOR_LIST = 1001;
const int TITLE_READ_COUNT = 255;
const char HIDDEN_SUFFIX_A[] = "               (HIDDEN)";

HWND floorList;            // the list being rebuilt; the dialog thread only
bool countingPass;         // which of the two passes FloorEnumProc serves
unsigned windowsCounted;   // titled windows found by the counting pass
unsigned rowsAdded;        // rows added by the filling pass, never more than counted

BOOL CALLBACK FloorEnumProc(HWND window, LPARAM)
{
    char text[TITLE_READ_COUNT + sizeof HIDDEN_SUFFIX_A];
    text[0] = '\0';
    GetWindowTextA(window, text, TITLE_READ_COUNT);
    if (text[0] == '\0')
        return TRUE;
    if (countingPass) {
        ++windowsCounted;
        return TRUE;
    }
    // A rebuild may list no more rows than it has counted.
    if (rowsAdded == windowsCounted)
        return TRUE;
    if (!IsWindowVisible(window))
        memcpy(text + strlen(text), HIDDEN_SUFFIX_A, sizeof HIDDEN_SUFFIX_A);
    SendMessageA(floorList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    ++rowsAdded;
    return TRUE;
}

void RebuildFloor(HWND list)
{
    floorList = list;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    countingPass = true;
    windowsCounted = 0;
    EnumWindows(FloorEnumProc, 0);
    countingPass = false;
    rowsAdded = 0;
    EnumWindows(FloorEnumProc, 0);
    // The new rows must reach the screen: redraw on again, and the list repainted once.
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

INT_PTR CALLBACK FloorDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: RebuildFloor(GetDlgItem(dialog, IDC_FLOOR_LIST)); break;
    case WMU_REFRESH:   RebuildFloor(GetDlgItem(dialog, IDC_FLOOR_LIST)); break;
    case WM_CLOSE:      EndDialog(dialog, 0); break;
    default: break;
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FLOOR), nullptr, FloorDialogProc, 0);
    return 0;
}
