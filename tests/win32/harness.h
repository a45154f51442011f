// Test plumbing of the Win32 tests: the main dialog run modelessly, what it receives,
// and the modal dialogs it runs. Pumping, window threads, fixture windows and the
// rectangle check come from the test support that every test program shares.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fixture_windows.h"
#include "rect_check.h"
#include "waiting.h"

// The real main dialog, created modelessly from the real template and procedure so
// the test can drive it with messages. Closing it runs the real close sequence; its
// end clears the fixture hook.
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

// Blocks that new has given this program and delete has not yet taken back.
long LiveAllocations();

// Every row shows the display title of the entry with the same index, carries that
// entry's window, and no entry is reachable beyond the rows.
::testing::AssertionResult RowsMatchEntries(const MainDialog& dialog);

// The four geometry fields read top, left, width and height.
::testing::AssertionResult FieldsRead(const MainDialog& dialog, int top, int left, int width, int height);

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
