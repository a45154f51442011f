// bench_fixture.exe <count> <prefix> <ready event>: makes <count> top-level windows
// for the benchmark, titled and untitled, visible and hidden, some titles longer than
// a read keeps; signals the event, then answers messages until it is told to quit
// (WM_QUIT posted to its thread).
#include <windows.h>

#include <cwchar>
#include <string>

#include "bench_support.h"
#include "fixture_windows.h"

namespace {

// Every fifth window is untitled and every third hidden, so all four kinds occur at
// every size. Visible ones are small and kept below the two lists being timed, so
// that no window being timed is covered.
HWND MakeFixtureWindow(const wchar_t* prefix, unsigned index)
{
    bool titled = index % 5 != 4;
    bool visible = index % 3 != 0;
    std::wstring title = FixtureTitle(prefix, index, titled);
    int x = static_cast<int>(index * 37 % 1180);
    int y = 560 + static_cast<int>(index * 53 % 400);
    return CreateFixtureW(title.c_str(), visible, x, y, 100, 60);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        PrintError("usage: bench_fixture <count> <prefix> <ready event>");
        return 2;
    }
    unsigned count = static_cast<unsigned>(wcstoul(argv[1], nullptr, 10));
    const wchar_t* prefix = argv[2];
    unsigned made = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (MakeFixtureWindow(prefix, i))
            ++made;
        // Answer now and then, so that the desktop is not kept waiting on this thread.
        if (i % 100 == 99)
            PumpMessages();
    }
    if (made != count)
        PrintError("bench_fixture: made %u of %u windows", made, count);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (ready) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return made == count ? 0 : 1;
}
