// The window-system calls the program makes, each in one form. List-box messages are
// wrapped as row operations; everything else is the plain Win32 call. Results are
// returned only where a caller uses them.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

// ---- Main dialog messages ----------------------------------------------------

// Rebuilds the catalogue and the list; both parameters 0, always sent synchronously.
constexpr UINT WMU_REFRESH = WM_USER + 100;

// ---- Dialogs and controls ----------------------------------------------------

INT_PTR RunDialog(HINSTANCE instance, int templateId, HWND owner, DLGPROC procedure);
void EndDialogRun(HWND dialog);
HWND Control(HWND dialog, int controlId);
void SetControlText(HWND dialog, int controlId, const char* text);
// Reads at most count - 1 characters and always terminates buffer.
void GetControlText(HWND dialog, int controlId, char* buffer, int count);
void EnableControl(HWND dialog, int controlId, bool enable);
bool IsBoxChecked(HWND dialog, int controlId);
void CheckBox(HWND dialog, int controlId);

// Decimal text in and out of an edit field, through a 16-character buffer.
void ShowNumber(HWND dialog, int controlId, int32_t value);
int32_t ReadNumber(HWND dialog, int controlId);

// ---- The list box ------------------------------------------------------------

// Each row carries the handle of the window it shows, so that a command can tell
// whether the row still belongs to its entry whatever other programs did to the list.
// Both return false when the list could not take the row.
bool ListAddRow(HWND list, const char* text, HWND window);
bool ListInsertRow(HWND list, int32_t row, const char* text, HWND window);
// The window that row was added for; null for a row we did not add.
HWND ListRowWindow(HWND list, int32_t row);
// Makes room for that many more rows, holding about textBytes bytes of 8-bit text.
void ListReserveRows(HWND list, uint32_t rows, size_t textBytes);
void ListDeleteRow(HWND list, int32_t row);
void ListClear(HWND list);
void ListSelectRow(HWND list, int32_t row);
// The selected row, or LB_ERR (-1) when none is.
int32_t ListSelectedRow(HWND list);
int32_t ListTopRow(HWND list);
void ListSetTopRow(HWND list, int32_t row);
int32_t ListVisibleRowCount(HWND list);
// The vertical scroll bar's range, page and position; fMask 0 when there is none.
SCROLLINFO ListScrollBar(HWND list);
// Keeps the rows from being painted one by one while they change.
void ListRedrawOff(HWND list);
// Paints the list once, there and then, and its frame too when the scroll bar no
// longer stands as in barBefore (read before redraw was switched off).
void ListRedrawOn(HWND list, const SCROLLINFO& barBefore);

// ---- Other programs' windows -------------------------------------------------

// Reads at most count - 1 characters; an unreadable window gives the empty text.
void ReadWindowTitle(HWND window, char* buffer, int count);
bool IsShown(HWND window);
// False when the window system cannot give the rectangle (the window is gone).
bool ReadWindowRect(HWND window, RECT* rect);
bool WindowExists(HWND window);

// ---- Messages to the main dialog ----------------------------------------------

void SendRefresh(HWND dialog);
void SendClose(HWND dialog);
