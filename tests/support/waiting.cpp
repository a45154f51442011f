// Message pumps, waits and window threads for every test program; see waiting.h.
#include "waiting.h"

#include <process.h>

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& predicate, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (predicate())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        // A predicate may read another process, which posts us nothing when it changes.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool WaitPumping(HANDLE handle, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed > timeoutMs)
            return false;
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0)
            return true;
        if (result != WAIT_OBJECT_0 + 1)
            return false;
        // Only sent messages: handling posted input here could run a test's clicks early.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// ---- WindowThread ------------------------------------------------------------

namespace {

const UINT WM_RUN_WORK = WM_APP + 1;

struct Work {
    const std::function<void()>* work;
    HANDLE done;
};

}  // namespace

WindowThread::WindowThread()
{
    ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Main, this, 0, &threadId));
    WaitForSingleObject(ready, INFINITE);
}

WindowThread::~WindowThread()
{
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    WaitPumping(thread, 10000);
    CloseHandle(thread);
    CloseHandle(ready);
}

unsigned __stdcall WindowThread::Main(void* self)
{
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // make the queue before anyone posts
    SetEvent(static_cast<WindowThread*>(self)->ready);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == WM_RUN_WORK) {
            Work* work = reinterpret_cast<Work*>(msg.lParam);
            (*work->work)();
            SetEvent(work->done);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

void WindowThread::Run(const std::function<void()>& work)
{
    Work item{&work, CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    PostThreadMessageW(threadId, WM_RUN_WORK, 0, reinterpret_cast<LPARAM>(&item));
    WaitPumping(item.done, 10000);
    CloseHandle(item.done);
}
