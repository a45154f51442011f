// Messages to another process's windows, and its controls and list boxes read through
// them. Every send has a hang guard and leaves out SMTO_BLOCK, so that this thread
// keeps answering what the other side sends it meanwhile; every text comes back in a
// wide buffer, which Wine marshals whole.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Longer than any answer a working program takes, however loaded the machine.
constexpr UINT SEND_TIMEOUT_MS = 30000;

// False when the message was not answered within the timeout.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr,
          UINT timeoutMs = SEND_TIMEOUT_MS);
// A button or menu command of the dialog, as a click delivers it.
bool Click(HWND dialog, int controlId, UINT timeoutMs = SEND_TIMEOUT_MS);

// At most 1023 characters; "<no answer>" when the control did not answer, and *ok
// (when given) says so too.
std::wstring ControlText(HWND control, bool* ok = nullptr);

// -1 when the list did not answer.
int ListCount(HWND list);
// One row; *ok false when the list did not answer or has no such row.
std::wstring ListRow(HWND list, int row, bool* ok = nullptr);
std::vector<std::wstring> ListRows(HWND list);
// The first row whose text is exactly text, or -1.
int ListRowOf(HWND list, const std::wstring& text);
// The selected row, or -1 (LB_ERR).
int ListSelection(HWND list);
// Selects as a click does: the selection, then the list's notification to its dialog.
// True when both were answered; *taken (when given) says whether the list took the row.
bool ClickRow(HWND list, int row, bool* taken = nullptr);
