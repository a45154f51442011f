// Thin wrappers over USER32; no results are checked beyond what callers need.
#include "window_system.h"

#include <cstring>

#include "decimal_text.h"

INT_PTR RunDialog(HINSTANCE instance, int templateId, HWND owner, DLGPROC procedure)
{
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, procedure, 0);
}

void EndDialogRun(HWND dialog)
{
    EndDialog(dialog, 0);
}

HWND Control(HWND dialog, int controlId)
{
    return GetDlgItem(dialog, controlId);
}

void SetControlText(HWND dialog, int controlId, const char* text)
{
    SetWindowTextA(Control(dialog, controlId), text);
}

void GetControlText(HWND dialog, int controlId, char* buffer, int count)
{
    ReadWindowTitle(Control(dialog, controlId), buffer, count);
}

void EnableControl(HWND dialog, int controlId, bool enable)
{
    EnableWindow(Control(dialog, controlId), enable ? TRUE : FALSE);
}

bool IsBoxChecked(HWND dialog, int controlId)
{
    return IsDlgButtonChecked(dialog, controlId) == BST_CHECKED;
}

void CheckBox(HWND dialog, int controlId)
{
    SendMessageA(Control(dialog, controlId), BM_SETCHECK, BST_CHECKED, 0);
}

void ShowNumber(HWND dialog, int controlId, int32_t value)
{
    char text[DECIMAL_BUFFER_SIZE];
    FormatDecimal(value, text);
    SetControlText(dialog, controlId, text);
}

int32_t ReadNumber(HWND dialog, int controlId)
{
    char text[DECIMAL_BUFFER_SIZE];
    GetControlText(dialog, controlId, text, DECIMAL_BUFFER_SIZE);
    return ParseDecimal(text);
}

namespace {

bool TagRow(HWND list, LRESULT row, HWND window)
{
    if (row == LB_ERR || row == LB_ERRSPACE)
        return false;
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(window));
    return true;
}

}  // namespace

bool ListAddRow(HWND list, const char* text, HWND window)
{
    return TagRow(list, SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)), window);
}

bool ListInsertRow(HWND list, int32_t row, const char* text, HWND window)
{
    LRESULT inserted = SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    return TagRow(list, inserted, window);
}

HWND ListRowWindow(HWND list, int32_t row)
{
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<HWND>(data);
}

void ListReserveRows(HWND list, uint32_t rows, size_t textBytes)
{
    // The list keeps its text in UTF-16: at most two bytes for every byte read.
    SendMessageA(list, LB_INITSTORAGE, static_cast<WPARAM>(rows), static_cast<LPARAM>(textBytes * sizeof(WCHAR)));
}

void ListDeleteRow(HWND list, int32_t row)
{
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
}

void ListClear(HWND list)
{
    // A list box tells its owner about every row it deletes that carries data
    // (WM_DELETEITEM), which costs several times what taking the data off first does.
    LRESULT rows = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < rows; ++row)
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

void ListSelectRow(HWND list, int32_t row)
{
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

int32_t ListSelectedRow(HWND list)
{
    return static_cast<int32_t>(SendMessageA(list, LB_GETCURSEL, 0, 0));
}

int32_t ListTopRow(HWND list)
{
    return static_cast<int32_t>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
}

void ListSetTopRow(HWND list, int32_t row)
{
    SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);
}

int32_t ListVisibleRowCount(HWND list)
{
    RECT client;
    GetClientRect(list, &client);
    LRESULT rowHeight = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    if (rowHeight <= 0 || rowHeight == LB_ERR)
        return 1;
    return static_cast<int32_t>((client.bottom - client.top) / rowHeight);
}

SCROLLINFO ListScrollBar(HWND list)
{
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (!GetScrollInfo(list, SB_VERT, &bar))
        bar.fMask = 0;
    return bar;
}

void ListRedrawOff(HWND list)
{
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
}

void ListRedrawOn(HWND list, const SCROLLINFO& barBefore)
{
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    // The list box brings its scroll bar up to date itself as redraw comes back on, and
    // the border never changes; repainting both again cost more under Wine than all the
    // rows. Only a scroll bar that moved is repainted again, in case a list box leaves
    // that to its owner.
    SCROLLINFO bar = ListScrollBar(list);
    bool moved = bar.fMask != barBefore.fMask || bar.nMin != barBefore.nMin || bar.nMax != barBefore.nMax ||
                 bar.nPage != barBefore.nPage || bar.nPos != barBefore.nPos;
    // Painted at once rather than left pending: with refreshes every millisecond a
    // pending paint would always be waiting, the queue would never be idle, and a
    // dialog that the window system shows only on an idle queue would never appear.
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | (moved ? RDW_FRAME : 0));
}

void ReadWindowTitle(HWND window, char* buffer, int count)
{
    // A read that stops before a character that does not fit leaves the rest of the
    // buffer as it was, and its length counts that rest too: only an empty buffer
    // shows where the text ends.
    memset(buffer, 0, static_cast<size_t>(count));
    GetWindowTextA(window, buffer, count);
    buffer[count - 1] = '\0';
}

bool IsShown(HWND window)
{
    return IsWindowVisible(window) != FALSE;
}

namespace {

using AnyFunction = void (*)();
using GetWindowAwareness = HANDLE(WINAPI*)(HWND);
using SetThreadAwareness = HANDLE(WINAPI*)(HANDLE);
using GetWindowDpi = UINT(WINAPI*)(HWND);
using GetSystemDpi = UINT(WINAPI*)();

// Looked up: Windows before 10 (1607) has none of these, and no DPI of a window's own.
AnyFunction FindUser32(const char* name)
{
    return reinterpret_cast<AnyFunction>(GetProcAddress(GetModuleHandleA("user32.dll"), name));
}

// A pixel of the window's own program scaled to ours, rounded half away from zero.
LONG ScaleEdge(LONG own, UINT ourDpi, UINT itsDpi)
{
    int64_t scaled = static_cast<int64_t>(own) * ourDpi;
    int64_t half = itsDpi / 2;
    return static_cast<LONG>((scaled < 0 ? scaled - half : scaled + half) / static_cast<int64_t>(itsDpi));
}

// Scaling by a positive factor keeps an edge's sign: a negative edge that came back
// positive was scaled wrongly, and it is scaled again here from what its program sees.
void MendEdge(LONG* edge, LONG own, UINT ourDpi, UINT itsDpi)
{
    if (own < 0 && *edge > 0)
        *edge = ScaleEdge(own, ourDpi, itsDpi);
}

// Wine 10 gives a per-monitor-aware program the negative edges of a DPI-unaware
// program's window (a maximized one has them) as numbers near 44 million at 144 DPI:
// it scales them as unsigned numbers. Windows scales them right, and nothing here
// changes them; so the system's DPI serves as ours, as it does under Wine, which gives
// every monitor the one DPI.
void MendScaledRect(HWND window, RECT* rect)
{
    auto getContext = reinterpret_cast<GetWindowAwareness>(FindUser32("GetWindowDpiAwarenessContext"));
    auto setContext = reinterpret_cast<SetThreadAwareness>(FindUser32("SetThreadDpiAwarenessContext"));
    auto windowDpi = reinterpret_cast<GetWindowDpi>(FindUser32("GetDpiForWindow"));
    auto systemDpi = reinterpret_cast<GetSystemDpi>(FindUser32("GetDpiForSystem"));
    if (!getContext || !setContext || !windowDpi || !systemDpi)
        return;
    UINT itsDpi = windowDpi(window);
    UINT ourDpi = systemDpi();
    HANDLE context = getContext(window);
    if (itsDpi == 0 || itsDpi == ourDpi || !context)
        return;
    HANDLE ours = setContext(context);
    if (!ours)
        return;
    RECT own;
    bool read = GetWindowRect(window, &own) != FALSE;
    setContext(ours);
    if (!read)
        return;
    MendEdge(&rect->left, own.left, ourDpi, itsDpi);
    MendEdge(&rect->top, own.top, ourDpi, itsDpi);
    MendEdge(&rect->right, own.right, ourDpi, itsDpi);
    MendEdge(&rect->bottom, own.bottom, ourDpi, itsDpi);
}

}  // namespace

bool ReadWindowRect(HWND window, RECT* rect)
{
    if (!GetWindowRect(window, rect))
        return false;
    MendScaledRect(window, rect);
    return true;
}

bool WindowExists(HWND window)
{
    return IsWindow(window) != FALSE;
}

void SendRefresh(HWND dialog)
{
    SendMessageA(dialog, WMU_REFRESH, 0, 0);
}

void SendClose(HWND dialog)
{
    SendMessageA(dialog, WM_CLOSE, 0, 0);
}
