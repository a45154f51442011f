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
// Waits for handle while still handling messages sent to this thread.
bool WaitPumping(HANDLE handle, DWORD timeoutMs);

// A top-level window of the fixture class. Titles should be unique to the test.
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

std::string WindowTextOf(HWND window);

// Compares a window's rectangle with the expected position and size, printing both.
::testing::AssertionResult HasRect(HWND window, int x, int y, int width, int height);
