// Waiting without going deaf: every wait here keeps handling what is sent to this
// thread's windows, since a window of another thread or process that works on them
// (reading a title, hiding, moving) waits on this thread meanwhile. And threads of
// their own with a message loop, for windows that must answer while this one waits.
#pragma once
#include <windows.h>

#include <functional>

// Handles every message that is waiting, sent or posted.
void PumpMessages();
// Pumps until predicate holds or timeoutMs passes; returns the predicate's last value.
bool PumpUntil(const std::function<bool()>& predicate, DWORD timeoutMs);
// Handles messages for ms milliseconds, looking at the clock after each one, so that a
// steady stream of messages (fast auto refresh) cannot hold it longer.
void PumpFor(DWORD ms);
// Waits for handle while still handling messages sent to this thread; posted ones wait.
bool WaitPumping(HANDLE handle, DWORD timeoutMs);

// A thread with a message loop; Run executes a function on it and waits for the
// result while this thread keeps handling sent messages.
class WindowThread {
public:
    WindowThread();
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;
    void Run(const std::function<void()>& work);
    DWORD Id() const { return threadId; }

private:
    static unsigned __stdcall Main(void* self);
    HANDLE thread = nullptr;
    HANDLE ready = nullptr;
    unsigned threadId = 0;
};
