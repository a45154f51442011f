// tarnavel_driver.exe: drives a running Tarnavel from outside for the shell scripts
// (key tests, screenshots). One command per run; exit code 0 on success, 1 otherwise.
//
//   wait <caption> [timeoutMs]       a visible window with this caption is up and settled
//   gone <caption> [timeoutMs]       no visible window with this caption is left
//   exists <caption>                 a visible window with this caption exists now
//   close <caption>                  Tarnavel: File > Exit; any other window: WM_CLOSE
//   post <caption> <commandId>       PostMessage WM_COMMAND, for commands that open a modal dialog
//   send <caption> <commandId>       SendMessage WM_COMMAND
//   select <caption> <row|text>      select a row of the window list (by number or by its
//                                    exact text), as a click would
//   text <caption> <controlId>       print a control's text (UTF-8)
//   settext <caption> <controlId> <text>
//   check <caption> <controlId>      tick a check box
//   rect <caption>                   print the window's left, top, width and height
//   point <caption> <controlId>      print the screen position of a control's centre
//   windows <seconds> <title>...     keep top-level windows with these titles (a leading
//                                    '-' makes one hidden) for that long, then end
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t MAIN_CAPTION[] = L"Tarnavel";
const WORD ID_FILE_EXIT = 40001;
const int ID_WINDOW_LIST = 1001;
const int DEFAULT_TIMEOUT_MS = 15000;
const UINT SEND_TIMEOUT_MS = 10000;
// The dialogs open with an animation; a rectangle that has held still this long is settled.
const DWORD SETTLE_MS = 300;

void Print(const std::wstring& text)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    utf8 += '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

// Reports on stderr; returns the failure exit code.
int Fail(const std::wstring& text)
{
    std::wstring line = L"tarnavel_driver: " + text + L"\n";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    return 1;
}

std::wstring TitleOf(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring title(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &title[0], length + 1);
    title.resize(static_cast<size_t>(got > 0 ? got : 0));
    return title;
}

struct Search {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    if (IsWindowVisible(window) && TitleOf(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisible(const wchar_t* caption)
{
    Search search = {caption, nullptr};
    EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The driver owns windows only for "windows"; elsewhere this just sleeps, but it keeps
// any window of ours answering while we wait on another program.
void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Waits for the window to appear, for its rectangle to hold still and for its thread
// to answer, so that the opening animation and the first list are done.
HWND WaitForWindow(const wchar_t* caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    HWND window = nullptr;
    while (!(window = FindVisible(caption))) {
        if (GetTickCount() - start >= timeoutMs)
            return nullptr;
        PumpFor(20);
    }
    RECT last = {};
    GetWindowRect(window, &last);
    DWORD stillSince = GetTickCount();
    while (GetTickCount() - stillSince < SETTLE_MS) {
        if (GetTickCount() - start >= timeoutMs || !IsWindow(window))
            return nullptr;
        PumpFor(20);
        RECT now = {};
        GetWindowRect(window, &now);
        if (!SameRect(now, last)) {
            last = now;
            stillSince = GetTickCount();
        }
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, SEND_TIMEOUT_MS, &result))
        return nullptr;
    return window;
}

bool WaitGone(const wchar_t* caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (FindVisible(caption)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        PumpFor(20);
    }
    return true;
}

HWND FindOrFail(const wchar_t* caption)
{
    HWND window = FindVisible(caption);
    if (!window)
        Fail(std::wstring(L"no visible window \"") + caption + L"\"");
    return window;
}

bool ParseInt(const wchar_t* text, long& value)
{
    wchar_t* end = nullptr;
    value = std::wcstol(text, &end, 10);
    return end != text && *end == L'\0';
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, SEND_TIMEOUT_MS, result ? result : &ignored) != 0;
}

struct OwnedSearch {
    HWND owner;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM param)
{
    OwnedSearch* search = reinterpret_cast<OwnedSearch*>(param);
    if (GetWindow(window, GW_OWNER) == search->owner)
        search->found.push_back(window);
    return TRUE;
}

// A modal dialog open over the main dialog keeps its modal loop running after the main
// dialog has ended, so it is closed first.
void CloseOwnedDialogs(HWND owner)
{
    OwnedSearch search = {owner, {}};
    EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
    for (HWND dialog : search.found) {
        Send(dialog, WM_CLOSE, 0, 0);
        for (int i = 0; i < 100 && IsWindow(dialog); ++i)
            PumpFor(20);
    }
}

int CommandWait(const std::vector<std::wstring>& args)
{
    long timeout = DEFAULT_TIMEOUT_MS;
    if (args.size() > 1 && !ParseInt(args[1].c_str(), timeout))
        return Fail(L"bad timeout");
    if (!WaitForWindow(args[0].c_str(), static_cast<DWORD>(timeout)))
        return Fail(L"timed out waiting for \"" + args[0] + L"\"");
    return 0;
}

int CommandGone(const std::vector<std::wstring>& args)
{
    long timeout = DEFAULT_TIMEOUT_MS;
    if (args.size() > 1 && !ParseInt(args[1].c_str(), timeout))
        return Fail(L"bad timeout");
    if (!WaitGone(args[0].c_str(), static_cast<DWORD>(timeout)))
        return Fail(L"\"" + args[0] + L"\" is still there");
    return 0;
}

int CommandExists(const std::vector<std::wstring>& args)
{
    return FindVisible(args[0].c_str()) ? 0 : 1;
}

int CommandClose(const std::vector<std::wstring>& args)
{
    HWND window = FindOrFail(args[0].c_str());
    if (!window)
        return 1;
    if (args[0] == MAIN_CAPTION) {
        CloseOwnedDialogs(window);
        Send(window, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    } else {
        Send(window, WM_CLOSE, 0, 0);
    }
    for (int i = 0; i < 500 && IsWindow(window); ++i)
        PumpFor(20);
    if (IsWindow(window))
        return Fail(L"\"" + args[0] + L"\" did not close");
    return 0;
}

int CommandPost(const std::vector<std::wstring>& args)
{
    long id = 0;
    if (args.size() < 2 || !ParseInt(args[1].c_str(), id))
        return Fail(L"post needs a command id");
    HWND window = FindOrFail(args[0].c_str());
    if (!window)
        return 1;
    return PostMessageW(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0) ? 0 : 1;
}

int CommandSend(const std::vector<std::wstring>& args)
{
    long id = 0;
    if (args.size() < 2 || !ParseInt(args[1].c_str(), id))
        return Fail(L"send needs a command id");
    HWND window = FindOrFail(args[0].c_str());
    if (!window)
        return 1;
    HWND control = GetDlgItem(window, static_cast<int>(id));
    return Send(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(control)) ? 0 : 1;
}

std::wstring RowText(HWND list, int row)
{
    DWORD_PTR length = 0;
    if (!Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0, &length) || static_cast<LRESULT>(length) == LB_ERR)
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!Send(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text[0]), &got) ||
        static_cast<LRESULT>(got) == LB_ERR)
        return std::wstring();
    text.resize(got);
    return text;
}

int FindRow(HWND list, const std::wstring& text)
{
    DWORD_PTR count = 0;
    Send(list, LB_GETCOUNT, 0, 0, &count);
    for (int row = 0; row < static_cast<int>(count); ++row)
        if (RowText(list, row) == text)
            return row;
    return -1;
}

int CommandSelect(const std::vector<std::wstring>& args)
{
    HWND window = FindOrFail(args[0].c_str());
    if (!window)
        return 1;
    HWND list = GetDlgItem(window, ID_WINDOW_LIST);
    if (!list)
        return Fail(L"no window list");
    long row = 0;
    if (!ParseInt(args[1].c_str(), row))
        row = FindRow(list, args[1]);
    DWORD_PTR result = 0;
    if (row < 0 || !Send(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0, &result) || static_cast<LRESULT>(result) == LB_ERR)
        return Fail(L"no row " + args[1]);
    // LB_SETCURSEL does not notify; a click would, and the dialog fills its details then.
    return Send(window, WM_COMMAND, MAKEWPARAM(ID_WINDOW_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list)) ? 0 : 1;
}

HWND ControlOrFail(const std::vector<std::wstring>& args)
{
    long id = 0;
    if (args.size() < 2 || !ParseInt(args[1].c_str(), id)) {
        Fail(L"a control id is needed");
        return nullptr;
    }
    HWND window = FindOrFail(args[0].c_str());
    if (!window)
        return nullptr;
    HWND control = GetDlgItem(window, static_cast<int>(id));
    if (!control)
        Fail(L"no control " + args[1]);
    return control;
}

int CommandText(const std::vector<std::wstring>& args)
{
    HWND control = ControlOrFail(args);
    if (!control)
        return 1;
    DWORD_PTR length = 0;
    if (!Send(control, WM_GETTEXTLENGTH, 0, 0, &length))
        return 1;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!Send(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), &got))
        return 1;
    text.resize(got);
    Print(text);
    return 0;
}

int CommandSetText(const std::vector<std::wstring>& args)
{
    if (args.size() < 3)
        return Fail(L"settext needs a text");
    HWND control = ControlOrFail(args);
    if (!control)
        return 1;
    return Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[2].c_str())) ? 0 : 1;
}

int CommandCheck(const std::vector<std::wstring>& args)
{
    HWND control = ControlOrFail(args);
    if (!control)
        return 1;
    return Send(control, BM_SETCHECK, BST_CHECKED, 0) ? 0 : 1;
}

int CommandRect(const std::vector<std::wstring>& args)
{
    HWND window = FindOrFail(args[0].c_str());
    if (!window)
        return 1;
    RECT rect = {};
    GetWindowRect(window, &rect);
    Print(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
          std::to_wstring(rect.right - rect.left) + L" " + std::to_wstring(rect.bottom - rect.top));
    return 0;
}

int CommandPoint(const std::vector<std::wstring>& args)
{
    HWND control = ControlOrFail(args);
    if (!control)
        return 1;
    RECT rect = {};
    GetWindowRect(control, &rect);
    Print(std::to_wstring((rect.left + rect.right) / 2) + L" " + std::to_wstring((rect.top + rect.bottom) / 2));
    return 0;
}

int CommandWindows(const std::vector<std::wstring>& args)
{
    long seconds = 0;
    if (!ParseInt(args[0].c_str(), seconds))
        return Fail(L"windows needs a number of seconds");
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"TarnavelDriverWindow";
    RegisterClassW(&windowClass);
    int offset = 0;
    for (size_t i = 1; i < args.size(); ++i) {
        bool hidden = !args[i].empty() && args[i][0] == L'-';
        std::wstring title = hidden ? args[i].substr(1) : args[i];
        CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | (hidden ? 0 : WS_VISIBLE),
                        700 + offset, 500 + offset, 320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        offset += 30;
    }
    PumpFor(static_cast<DWORD>(seconds) * 1000);
    return 0;
}

struct Command {
    const wchar_t* name;
    size_t minArgs;
    int (*run)(const std::vector<std::wstring>&);
};

const Command COMMANDS[] = {
    {L"wait", 1, CommandWait},     {L"gone", 1, CommandGone},       {L"exists", 1, CommandExists},
    {L"close", 1, CommandClose},   {L"post", 2, CommandPost},       {L"send", 2, CommandSend},
    {L"select", 2, CommandSelect}, {L"text", 2, CommandText},       {L"settext", 3, CommandSetText},
    {L"check", 2, CommandCheck},   {L"rect", 1, CommandRect},       {L"point", 2, CommandPoint},
    {L"windows", 1, CommandWindows},
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Fail(L"usage: tarnavel_driver <command> <arguments>");
    std::vector<std::wstring> args(argv + 2, argv + argc);
    for (const Command& command : COMMANDS) {
        if (std::wcscmp(argv[1], command.name) != 0)
            continue;
        if (args.size() < command.minArgs)
            return Fail(std::wstring(L"too few arguments for ") + argv[1]);
        return command.run(args);
    }
    return Fail(std::wstring(L"unknown command ") + argv[1]);
}
