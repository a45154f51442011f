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
//   stuck <title> <stop> <release>   keep a visible window with this title until ended;
//                                    each time the named event stop is set, take no
//                                    messages (as a hung program) until release is set
//   unaware <command> <arguments>    the command in a process that is not DPI aware, as
//                                    most programs are not: a system that scales sees
//                                    its windows in 96-DPI pixels and scales them
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "cross_process.h"
#include "dpi_awareness.h"
#include "fixture_windows.h"
#include "processes.h"
#include "resources/resource.h"
#include "tarnavel_process.h"
#include "text_output.h"
#include "waiting.h"

namespace {

const int DEFAULT_TIMEOUT_MS = 15000;
// The dialogs open with an animation; a rectangle that has held still this long is settled.
const DWORD SETTLE_MS = 300;

// Reports on stderr; returns the failure exit code.
int Fail(const std::wstring& text)
{
    PrintError("tarnavel_driver: %s", Utf8(text).c_str());
    return 1;
}

// Waits for the window to appear, for its rectangle to hold still and for its thread
// to answer, so that the opening animation and the first list are done.
HWND WaitForWindow(const wchar_t* caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    HWND window = WaitForWindowOf(0, caption, timeoutMs);
    if (!window)
        return nullptr;
    RECT last = {};
    GetWindowRect(window, &last);
    DWORD stillSince = GetTickCount();
    while (GetTickCount() - stillSince < SETTLE_MS) {
        if (GetTickCount() - start >= timeoutMs || !IsWindow(window))
            return nullptr;
        PumpFor(20);
        RECT now = {};
        GetWindowRect(window, &now);
        if (!EqualRect(&now, &last)) {
            last = now;
            stillSince = GetTickCount();
        }
    }
    return Send(window, WM_NULL, 0, 0) ? window : nullptr;
}

bool WaitGone(const wchar_t* caption, DWORD timeoutMs)
{
    return PumpUntil([caption] { return FindWindowOf(0, caption) == nullptr; }, timeoutMs);
}

HWND FindOrFail(const wchar_t* caption)
{
    HWND window = FindWindowOf(0, caption);
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
        PumpUntil([dialog] { return !IsWindow(dialog); }, 2000);
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
    return FindWindowOf(0, args[0].c_str()) ? 0 : 1;
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
    if (!PumpUntil([window] { return !IsWindow(window); }, 10000))
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
    return Click(window, static_cast<int>(id)) ? 0 : 1;
}

int CommandSelect(const std::vector<std::wstring>& args)
{
    HWND window = FindOrFail(args[0].c_str());
    if (!window)
        return 1;
    HWND list = GetDlgItem(window, IDC_WINDOW_LIST);
    if (!list)
        return Fail(L"no window list");
    long row = 0;
    if (!ParseInt(args[1].c_str(), row))
        row = ListRowOf(list, args[1]);
    bool taken = false;
    if (row < 0 || !ClickRow(list, static_cast<int>(row), &taken) || !taken)
        return Fail(L"no row " + args[1]);
    return 0;
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
    bool ok = false;
    std::wstring text = ControlText(control, &ok);
    if (!ok)
        return 1;
    PrintLine("%s", Utf8(text).c_str());
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
    PrintLine("%ld %ld %ld %ld", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}

int CommandPoint(const std::vector<std::wstring>& args)
{
    HWND control = ControlOrFail(args);
    if (!control)
        return 1;
    RECT rect = {};
    GetWindowRect(control, &rect);
    PrintLine("%ld %ld", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return 0;
}

int CommandWindows(const std::vector<std::wstring>& args)
{
    long seconds = 0;
    if (!ParseInt(args[0].c_str(), seconds))
        return Fail(L"windows needs a number of seconds");
    int offset = 0;
    for (size_t i = 1; i < args.size(); ++i) {
        bool hidden = !args[i].empty() && args[i][0] == L'-';
        std::wstring title = hidden ? args[i].substr(1) : args[i];
        CreateFixtureW(title.c_str(), !hidden, 700 + offset, 500 + offset, 320, 200);
        offset += 30;
    }
    PumpFor(static_cast<DWORD>(seconds) * 1000);
    return 0;
}

int CommandStuck(const std::vector<std::wstring>& args)
{
    HANDLE stop = OpenEventW(SYNCHRONIZE, FALSE, args[1].c_str());
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, args[2].c_str());
    if (!stop || !release)
        return Fail(L"stuck needs the names of two events that exist");
    CreateFixtureW(args[0].c_str(), true, 660, 520, 320, 200);
    for (;;) {
        while (MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            PumpMessages();
        WaitForSingleObject(release, INFINITE);
    }
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
    {L"windows", 1, CommandWindows}, {L"stuck", 3, CommandStuck},
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 2 && std::wcscmp(argv[1], L"unaware") == 0) {
        ++argv;
        --argc;
    } else {
        DeclarePerMonitorDpiAwareness();
    }
    if (argc < 2)
        return Fail(L"usage: tarnavel_driver [unaware] <command> <arguments>");
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
