// Fixture windows: plain top-level windows that a test owns, on the thread that
// creates them, with one hook that can provoke the hard cases from inside their
// window procedure.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// A top-level window of the fixture class, shown without activation when visible.
// Titles should be unique to the test. Nothing is pumped, so these are safe to call
// inside a fixture's message handler.
HWND CreateFixture(const char* title, bool visible, int x = 100, int y = 200, int width = 640, int height = 480);
HWND CreateFixtureW(const wchar_t* title, bool visible, int x = 100, int y = 200, int width = 640, int height = 480);

// A hook on the fixture class's window procedure, called on the window's own thread
// before default processing, for every fixture window.
using FixtureHook = std::function<void(HWND, UINT, WPARAM, LPARAM)>;
void SetFixtureHook(FixtureHook hook);

// A fixture window for the length of a scope; what its creation left queued is handled.
class FixtureWindow {
public:
    FixtureWindow(const std::wstring& title, bool visible, int x = 200, int y = 150, int width = 300, int height = 200);
    ~FixtureWindow();
    FixtureWindow(const FixtureWindow&) = delete;
    FixtureWindow& operator=(const FixtureWindow&) = delete;
    HWND Handle() const { return window; }

private:
    HWND window = nullptr;
};
