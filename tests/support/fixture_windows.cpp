// The fixture classes and their hook; see fixture_windows.h.
#include "fixture_windows.h"

#include <mutex>

#include "waiting.h"

namespace {

const char FIXTURE_CLASS[] = "TarnavelTestFixture";
const wchar_t FIXTURE_CLASS_W[] = L"TarnavelTestFixtureW";

// Fixture windows live on several threads, and a test may change the hook meanwhile.
std::mutex hookLock;
FixtureHook fixtureHook;

void CallFixtureHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FixtureHook hook;
    {
        std::lock_guard<std::mutex> guard(hookLock);
        hook = fixtureHook;
    }
    if (hook)
        hook(window, message, wParam, lParam);
}

// The ANSI and wide classes each need the default procedure of their own character
// set: text messages carry buffers counted in that set's characters.
LRESULT CALLBACK FixtureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CallFixtureHook(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK FixtureProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CallFixtureHook(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterFixtureClasses()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FixtureProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = FIXTURE_CLASS;
        RegisterClassA(&wc);
        WNDCLASSW wcw = {};
        wcw.lpfnWndProc = FixtureProcW;
        wcw.hInstance = GetModuleHandleA(nullptr);
        wcw.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wcw.lpszClassName = FIXTURE_CLASS_W;
        RegisterClassW(&wcw);
    });
}

HWND ShowFixture(HWND window, bool visible)
{
    if (window && visible)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

}  // namespace

HWND CreateFixture(const char* title, bool visible, int x, int y, int width, int height)
{
    RegisterFixtureClasses();
    return ShowFixture(CreateWindowExA(0, FIXTURE_CLASS, title, WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr),
                       visible);
}

HWND CreateFixtureW(const wchar_t* title, bool visible, int x, int y, int width, int height)
{
    RegisterFixtureClasses();
    return ShowFixture(CreateWindowExW(0, FIXTURE_CLASS_W, title, WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr),
                       visible);
}

void SetFixtureHook(FixtureHook hook)
{
    std::lock_guard<std::mutex> guard(hookLock);
    fixtureHook = std::move(hook);
}

FixtureWindow::FixtureWindow(const std::wstring& title, bool visible, int x, int y, int width, int height)
    : window(CreateFixtureW(title.c_str(), visible, x, y, width, height))
{
    PumpMessages();
}

FixtureWindow::~FixtureWindow()
{
    if (window)
        DestroyWindow(window);
}
