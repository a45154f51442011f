// Tarnavel driven from another process; see tarnavel_process.h.
#include "tarnavel_process.h"

#include "waiting.h"

const wchar_t MAIN_CAPTION[] = L"Tarnavel";
const wchar_t AUTO_REFRESH_CAPTION[] = L"Auto Refresh";
const wchar_t HIDDEN_SUFFIX[] = L"               (HIDDEN)";

namespace {

// The Auto Refresh dialog closes on OK at once; a user would have given up by then.
const DWORD DIALOG_CLOSE_MS = 5000;

}  // namespace

Tarnavel::~Tarnavel()
{
    EndProcess(&process, 0);
}

bool Tarnavel::Start(const std::wstring& path, DWORD startMs)
{
    error.clear();
    if (!StartProcess(path, L"", &process, &error))
        return false;
    dialog = WaitForWindowOf(ProcessId(), MAIN_CAPTION, startMs);
    if (!dialog) {
        error = "no main dialog appeared";
        return false;
    }
    list = GetDlgItem(dialog, IDC_WINDOW_LIST);
    // The list is filled at the end of the dialog's start-up, after its animation.
    if (!PumpUntil([this] { return RowCount() > 0; }, startMs)) {
        error = "the list stayed empty";
        return false;
    }
    return true;
}

std::wstring Tarnavel::Row(int row) const
{
    bool ok = false;
    std::wstring text = ListRow(list, row, &ok);
    return ok ? text : L"<no row>";
}

bool Tarnavel::Select(int row) const
{
    bool taken = false;
    return ClickRow(list, row, &taken) && taken;
}

bool Tarnavel::SetAutoRefresh(bool on, const wchar_t* intervalText, DWORD appearMs, bool* stayedHidden)
{
    error.clear();
    *stayedHidden = false;
    // Posted: the settings dialog runs modally inside the command, so a send would
    // not return until the dialog had ended.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ID_OPTIONS_REFRESH_RATE, 0), 0);
    HWND settings = WaitForWindowOf(ProcessId(), AUTO_REFRESH_CAPTION, appearMs);
    if (!settings) {
        settings = FindWindowOf(ProcessId(), AUTO_REFRESH_CAPTION, false);
        *stayedHidden = settings != nullptr;
        error = std::string("the Auto Refresh dialog ") + (settings ? "exists but is still hidden" : "did not appear") +
                " after " + std::to_string(appearMs / 1000) + " s; the windows of tarnavel.exe:" +
                DescribeWindowsOf(ProcessId());
        if (!settings)
            return false;
    }
    HWND box = GetDlgItem(settings, IDC_AUTO_REFRESH_ON);
    HWND interval = GetDlgItem(settings, IDC_REFRESH_INTERVAL);
    bool sent = Send(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0) &&
                Send(interval, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(intervalText)) && Click(settings, IDC_OK_BUTTON);
    bool closed = PumpUntil([&] { return !IsWindow(settings); }, DIALOG_CLOSE_MS);
    if (!sent || !closed)
        error += (error.empty() ? "" : "; ") + std::string("the Auto Refresh dialog did not take the settings");
    return sent && closed;
}

bool Tarnavel::Exit(DWORD graceMs)
{
    error.clear();
    bool answered = !dialog || Send(dialog, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    dialog = list = nullptr;
    if (!answered)
        error = "File > Exit was not answered";
    bool ended = EndProcess(&process, graceMs);
    if (!ended && answered)
        error = "the process was still running " + std::to_string(graceMs) + " ms after File > Exit";
    return answered && ended;
}
