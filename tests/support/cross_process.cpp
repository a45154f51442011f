// Messages, control texts and list rows across processes; see cross_process.h.
#include "cross_process.h"

namespace {

// Every row of Tarnavel's list and every text of its controls fits: a title read
// keeps 254 characters, and the hidden suffix adds 23.
const size_t TEXT_BUFFER = 1024;

}  // namespace

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, UINT timeoutMs)
{
    DWORD_PTR answer = 0;
    bool answered = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &answer) != 0;
    if (result)
        *result = static_cast<LRESULT>(answer);
    return answered;
}

bool Click(HWND dialog, int controlId, UINT timeoutMs)
{
    HWND control = GetDlgItem(dialog, controlId);
    return Send(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(control), nullptr,
                timeoutMs);
}

std::wstring ControlText(HWND control, bool* ok)
{
    if (ok)
        *ok = false;
    // One round trip; WM_GETTEXT never writes past the count given.
    std::wstring text(TEXT_BUFFER, L'\0');
    LRESULT got = 0;
    if (!Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), &got) || got < 0)
        return L"<no answer>";
    text.resize(static_cast<size_t>(got));
    if (ok)
        *ok = true;
    return text;
}

int ListCount(HWND list)
{
    LRESULT count = LB_ERR;
    if (!Send(list, LB_GETCOUNT, 0, 0, &count))
        return -1;
    return static_cast<int>(count);
}

std::wstring ListRow(HWND list, int row, bool* ok)
{
    if (ok)
        *ok = false;
    // One message, not a length and then the text: a rebuild in between could make the
    // row longer than the length read, and LB_GETTEXT takes no count.
    std::wstring text(TEXT_BUFFER, L'\0');
    LRESULT got = 0;
    if (!Send(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text[0]), &got) || got < 0)
        return std::wstring();
    text.resize(static_cast<size_t>(got));
    if (ok)
        *ok = true;
    return text;
}

std::vector<std::wstring> ListRows(HWND list)
{
    std::vector<std::wstring> rows;
    int count = ListCount(list);
    for (int row = 0; row < count; ++row) {
        bool ok = false;
        std::wstring text = ListRow(list, row, &ok);
        rows.push_back(ok ? text : L"<no row>");
    }
    return rows;
}

int ListRowOf(HWND list, const std::wstring& text)
{
    std::vector<std::wstring> rows = ListRows(list);
    for (size_t row = 0; row < rows.size(); ++row)
        if (rows[row] == text)
            return static_cast<int>(row);
    return -1;
}

int ListSelection(HWND list)
{
    LRESULT row = LB_ERR;
    Send(list, LB_GETCURSEL, 0, 0, &row);
    return static_cast<int>(row);
}

bool ClickRow(HWND list, int row, bool* taken)
{
    LRESULT result = LB_ERR;
    bool answered = Send(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0, &result);
    if (taken)
        *taken = answered && result == row;
    // LB_SETCURSEL does not notify; a click would, and the dialog shows the details then.
    HWND dialog = GetParent(list);
    return Send(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list)) &&
           answered;
}
