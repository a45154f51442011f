// The Win32 tests' own plumbing; see harness.h.
#include "harness.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "app/main_dialog.h"
#include "app/program_state.h"
#include "catalogue/catalogue.h"
#include "resources/resource.h"
#include "settings/user_settings.h"

// ---- Allocations ----------------------------------------------------------------

// Every other form of new and delete ends in these.
namespace {
std::atomic<long> liveAllocations;

void Release(void* block)
{
    if (block)
        --liveAllocations;
    std::free(block);
}
}  // namespace

void* operator new(size_t size)
{
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    ++liveAllocations;
    return block;
}

void operator delete(void* block) noexcept
{
    Release(block);
}

void operator delete(void* block, size_t) noexcept
{
    Release(block);
}

long LiveAllocations()
{
    return liveAllocations;
}

// ---- MainDialog -----------------------------------------------------------------

MainDialog::MainDialog()
{
    UserSettings.SetPositionStep(1);
    UserSettings.SetSizeStep(1);
    UserSettings.SetAutoRefresh(0);
    UserSettings.SetFilterFlags(FILTER_SHOW_HIDDEN | FILTER_SHOW_VISIBLE);
    UserSettings.SetRefreshInterval(1000);
    selectedIndex = 0;  // as in a fresh process
    dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    PumpMessages();
}

MainDialog::~MainDialog()
{
    Close();
    SetFixtureHook(nullptr);
}

HWND MainDialog::List() const
{
    return GetDlgItem(dialog, IDC_WINDOW_LIST);
}

void MainDialog::Command(WORD id, WORD code)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), 0);
    PumpMessages();
}

void MainDialog::Refresh()
{
    SendMessageA(dialog, WM_USER + 100, 0, 0);
    PumpMessages();
}

void MainDialog::Close()
{
    if (closed || !dialog)
        return;
    closed = true;
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    DestroyWindow(dialog);
    // The worker ends at its next pause once the dialog has closed.
    if (workerThread)
        WaitPumping(workerThread, 3000);
    PumpMessages();
}

int MainDialog::RowOf(const std::string& title) const
{
    std::vector<std::string> rows = Rows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i] == title)
            return static_cast<int>(i);
    return -1;
}

int MainDialog::Select(const std::string& title)
{
    int row = RowOf(title);
    if (row < 0)
        return -1;
    SendMessageA(List(), LB_SETCURSEL, row, 0);
    Command(IDC_WINDOW_LIST, LBN_SELCHANGE);
    return row;
}

std::vector<std::string> MainDialog::Rows() const
{
    std::vector<std::string> rows;
    HWND list = List();
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        int length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
        std::string text(static_cast<size_t>(length < 0 ? 0 : length) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(strlen(text.c_str()));
        rows.push_back(text);
    }
    return rows;
}

int MainDialog::SelectedRow() const
{
    return static_cast<int>(SendMessageA(List(), LB_GETCURSEL, 0, 0));
}

std::string MainDialog::Text(int controlId) const
{
    return WindowTextOf(GetDlgItem(dialog, controlId));
}

void MainDialog::SetText(int controlId, const char* text)
{
    SetWindowTextA(GetDlgItem(dialog, controlId), text);
}

bool MainDialog::Enabled(int controlId) const
{
    return IsWindowEnabled(GetDlgItem(dialog, controlId)) != FALSE;
}

// ---- MessageCounter -------------------------------------------------------------

namespace {
const char COUNTER_PROPERTY[] = "TarnavelTestCounter";
}

MessageCounter::MessageCounter(HWND window) : window(window)
{
    SetPropA(window, COUNTER_PROPERTY, this);
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
}

MessageCounter::~MessageCounter()
{
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(window, COUNTER_PROPERTY);
}

int MessageCounter::Count(UINT message) const
{
    int count = 0;
    for (UINT m : received)
        count += m == message;
    return count;
}

LRESULT CALLBACK MessageCounter::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageCounter* self = static_cast<MessageCounter*>(GetPropA(window, COUNTER_PROPERTY));
    self->received.push_back(message);
    return CallWindowProcA(self->original, window, message, wParam, lParam);
}

std::string WindowTextOf(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct Fields {
    std::string top, left, width, height;
};

Fields FieldsOf(const MainDialog& dialog)
{
    return Fields{dialog.Text(IDC_EDIT_TOP), dialog.Text(IDC_EDIT_LEFT), dialog.Text(IDC_EDIT_WIDTH),
                  dialog.Text(IDC_EDIT_HEIGHT)};
}

::testing::AssertionResult FieldsRead(const MainDialog& dialog, int top, int left, int width, int height)
{
    Fields f = FieldsOf(dialog);
    Fields want{std::to_string(top), std::to_string(left), std::to_string(width), std::to_string(height)};
    if (f.top == want.top && f.left == want.left && f.width == want.width && f.height == want.height)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "fields read top " << f.top << ", left " << f.left << ", width " << f.width
                                         << ", height " << f.height << "; expected " << top << ", " << left << ", "
                                         << width << ", " << height;
}

::testing::AssertionResult RowsMatchEntries(const MainDialog& dialog)
{
    std::vector<std::string> rows = dialog.Rows();
    if (rows.size() != WindowCatalogue.fillIndex)
        return ::testing::AssertionFailure() << rows.size() << " rows but " << WindowCatalogue.fillIndex << " entries";
    if (WindowCatalogue.fillIndex > WindowCatalogue.capacity)
        return ::testing::AssertionFailure() << "filled " << WindowCatalogue.fillIndex << " of " << WindowCatalogue.capacity;
    for (size_t i = 0; i < rows.size(); ++i) {
        WindowEntry* entry = LookupEntry(static_cast<int32_t>(i));
        if (!entry || rows[i] != entry->GetTitle())
            return ::testing::AssertionFailure() << "row " << i << " is \"" << rows[i] << "\"";
        if (reinterpret_cast<HWND>(SendMessageA(dialog.List(), LB_GETITEMDATA, i, 0)) != entry->GetHandle())
            return ::testing::AssertionFailure() << "row " << i << " does not carry its entry's window";
    }
    if (LookupEntry(static_cast<int32_t>(rows.size())) != nullptr || LookupEntry(-1) != nullptr)
        return ::testing::AssertionFailure() << "an entry is reachable beyond the rows";
    return ::testing::AssertionSuccess();
}

// ---- Modal dialogs run by a main-dialog command ------------------------------

namespace {

struct ModalDrive {
    HWND owner;
    const char* caption;
    std::vector<DialogStep>* steps;
    ModalRun* run;
    DWORD start;
    DWORD timeoutMs;
    HWND dialog;
    size_t next;
    bool inStep;
};

ModalDrive* currentDrive;

struct OwnedSearch {
    HWND owner;
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindOwnedProc(HWND window, LPARAM param)
{
    OwnedSearch* search = reinterpret_cast<OwnedSearch*>(param);
    if (GetWindow(window, GW_OWNER) == search->owner && WindowTextOf(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Only this thread's windows: reading other threads' titles could block on them.
HWND FindOwnedDialog(HWND owner, const char* caption)
{
    OwnedSearch search{owner, caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CALLBACK DriveTick(HWND, UINT, UINT_PTR, DWORD)
{
    ModalDrive* drive = currentDrive;
    // A step that pumps would get here again from inside itself.
    if (!drive || drive->inStep)
        return;
    bool timedOut = GetTickCount() - drive->start > drive->timeoutMs;
    if (!drive->dialog)
        drive->dialog = FindOwnedDialog(drive->owner, drive->caption);
    if (!drive->dialog || !IsWindow(drive->dialog))
        return;
    drive->run->opened = true;
    if (drive->next < drive->steps->size() && !timedOut) {
        drive->inStep = true;
        bool done = (*drive->steps)[drive->next](drive->dialog);
        drive->inStep = false;
        if (done) {
            ++drive->next;
            ++drive->run->stepsRun;
        }
        return;
    }
    if (IsWindowVisible(drive->dialog)) {
        drive->run->leftOpen = true;
        SendMessageA(drive->dialog, WM_CLOSE, 0, 0);
    }
}

}  // namespace

DialogStep DialogAction(const std::function<void(HWND dialog)>& action)
{
    return [action](HWND dialog) {
        action(dialog);
        return true;
    };
}

DialogStep DialogPause(DWORD ms)
{
    auto start = std::make_shared<DWORD>(0);
    auto started = std::make_shared<bool>(false);
    return [ms, start, started](HWND) {
        if (!*started) {
            *started = true;
            *start = GetTickCount();
        }
        return GetTickCount() - *start >= ms;
    };
}

ModalRun RunModalDialog(MainDialog& owner, WORD command, const char* caption, std::vector<DialogStep> steps,
                        DWORD timeoutMs)
{
    ModalRun run;
    ModalDrive drive{owner.Handle(), caption, &steps, &run, GetTickCount(), timeoutMs, nullptr, 0, false};
    currentDrive = &drive;
    UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, DriveTick);
    SendMessageA(owner.Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    KillTimer(nullptr, timer);
    currentDrive = nullptr;
    return run;
}

// ---- RebuildLog ------------------------------------------------------------

namespace {

const char REBUILD_LOG_PROP[] = "TarnavelRebuildLog";

}  // namespace

RebuildLog::RebuildLog(const MainDialog& owner) : list(owner.List())
{
    SetPropA(list, REBUILD_LOG_PROP, this);
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RebuildLog::ListProc)));
}

RebuildLog::~RebuildLog()
{
    if (!IsWindow(list))
        return;
    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(list, REBUILD_LOG_PROP);
}

int RebuildLog::CountSince(DWORD tick) const
{
    int count = 0;
    for (DWORD time : times)
        if (static_cast<LONG>(time - tick) >= 0)
            ++count;
    return count;
}

LRESULT CALLBACK RebuildLog::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    RebuildLog* log = static_cast<RebuildLog*>(GetPropA(list, REBUILD_LOG_PROP));
    if (!log)
        return DefWindowProcA(list, message, wParam, lParam);
    if (message == LB_RESETCONTENT)
        log->times.push_back(GetTickCount());
    return CallWindowProcA(log->original, list, message, wParam, lParam);
}
