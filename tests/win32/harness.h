// Test plumbing shared by the Win32 tests: fixture windows on this thread or another,
// the main dialog run modelessly, message pumping, and list and rectangle reads.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Handles every message that is waiting, sent or posted.
void PumpMessages();
// Pumps until predicate holds or timeoutMs passes; returns the predicate's last value.
bool PumpUntil(const std::function<bool()>& predicate, DWORD timeoutMs);
// Handles messages for ms milliseconds, looking at the clock after each one, so that a
// steady stream of messages (fast auto refresh) cannot hold it longer.
void PumpFor(DWORD ms);
// Waits for handle while still handling messages sent to this thread.
bool WaitPumping(HANDLE handle, DWORD timeoutMs);

// A top-level window of the fixture class. Titles should be unique to the test.
// Nothing is pumped, so these are safe to call inside a fixture's message handler.
HWND CreateFixture(const char* title, bool visible, int x = 100, int y = 200, int width = 640, int height = 480);
HWND CreateFixtureW(const wchar_t* title, bool visible, int x = 100, int y = 200, int width = 640, int height = 480);

// A hook on the fixture class's window procedure, called on the window's own thread
// before default processing, for every fixture window. Cleared by each MainDialog.
using FixtureHook = std::function<void(HWND, UINT, WPARAM, LPARAM)>;
void SetFixtureHook(FixtureHook hook);

// A thread with a message loop; Run executes a function on it and waits for the
// result while this thread keeps handling sent messages.
class WindowThread {
public:
    WindowThread();
    ~WindowThread();
    void Run(const std::function<void()>& work);
    DWORD Id() const { return threadId; }

private:
    static unsigned __stdcall Main(void* self);
    HANDLE thread = nullptr;
    HANDLE ready = nullptr;
    unsigned threadId = 0;
};

// The real main dialog, created modelessly from the real template and procedure so
// the test can drive it with messages. Closing it runs the real close sequence.
class MainDialog {
public:
    MainDialog();
    ~MainDialog();
    HWND Handle() const { return dialog; }
    HWND List() const;
    void Command(WORD id, WORD code = 0);
    void Refresh();
    void Close();
    // Selects the row whose text is title (exactly), notifying as a click would.
    // Returns the row, or -1.
    int Select(const std::string& title);
    int RowOf(const std::string& title) const;
    std::vector<std::string> Rows() const;
    int SelectedRow() const;
    std::string Text(int controlId) const;
    void SetText(int controlId, const char* text);
    bool Enabled(int controlId) const;

private:
    HWND dialog = nullptr;
    bool closed = false;
};

// Counts, by message number, what a window (the main dialog's list box, say) receives
// while the counter lives: LB_RESETCONTENT marks a rebuild, LB_INSERTSTRING a row replaced.
class MessageCounter {
public:
    explicit MessageCounter(HWND window);
    ~MessageCounter();
    int Count(UINT message) const;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window;
    WNDPROC original;
    std::vector<UINT> received;
};

std::string WindowTextOf(HWND window);

// Every row shows the display title of the entry with the same index, and no entry is
// reachable beyond the rows.
::testing::AssertionResult RowsMatchEntries(const MainDialog& dialog);

// Compares a window's rectangle with the expected position and size, printing both.
::testing::AssertionResult HasRect(HWND window, int x, int y, int width, int height);

// ---- Modal dialogs run by a main-dialog command ------------------------------

// One step of driving an open modal dialog. Returns true when done; false to be called
// again on the next tick (to wait while the modal loop keeps running).
using DialogStep = std::function<bool(HWND dialog)>;
DialogStep DialogAction(const std::function<void(HWND dialog)>& action);
DialogStep DialogPause(DWORD ms);

struct ModalRun {
    bool opened = false;    // a dialog with the caption, owned by the main dialog, appeared
    size_t stepsRun = 0;    // steps that completed
    bool leftOpen = false;  // still open after the last step, so the run closed it
};

// Sends command to the main dialog and, while the modal dialog with caption is open,
// runs steps one per timer tick from inside that dialog's own modal loop, so that
// whatever a step posts passes through the loop before the next step runs. A dialog
// still open after the last step, or after timeoutMs, is sent WM_CLOSE. Nothing is
// pumped after the command returns.
ModalRun RunModalDialog(MainDialog& owner, WORD command, const char* caption, std::vector<DialogStep> steps,
                        DWORD timeoutMs = 10000);

// Counts the rebuilds of the main dialog's list (each one clears the list first), with
// the tick count of each, by subclassing the list box. One counter at a time.
class RebuildLog {
public:
    explicit RebuildLog(const MainDialog& owner);
    ~RebuildLog();
    int Count() const { return static_cast<int>(times.size()); }
    // Rebuilds that began at or after tick.
    int CountSince(DWORD tick) const;
    const std::vector<DWORD>& Times() const { return times; }

private:
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
    HWND list = nullptr;
    WNDPROC original = nullptr;
    std::vector<DWORD> times;
};
