// Step move and resize: read the live rectangle, place the window shown normally, show
// where it went.
#include "../platform/window_requests.h"
#include "../platform/window_system.h"
#include "../settings/user_settings.h"
#include "selection.h"
#include "step_geometry.h"

namespace {

using StepPlanner = bool (*)(int32_t, int32_t, int32_t, int32_t, int16_t, int32_t, Placement*);

void StepWindow(HWND dialog, const WindowEntry& entry, int16_t direction, int32_t step, StepPlanner plan)
{
    // The handle is taken once: the entry is not looked at again after this.
    HWND window = entry.GetHandle();
    DWORD start = GetTickCount();
    RECT rect;
    Placement placement;
    // The step starts from where the window stands once an earlier click has landed,
    // and a minimized one has come back; if either is still under way when the bound
    // ends, nothing more is asked.
    if (WaitForRequestUnderWay(window, start) && BringBackIfMinimized(window, start) && ReadWindowRect(window, &rect)
        && plan(rect.left, rect.top, rect.right, rect.bottom, direction, step, &placement))
        PlaceNotTopmost(window, placement.x, placement.y, placement.width, placement.height, start);
    // Read again: the fields show what the window system did, not what was asked, and
    // where a slow window stands when the wait for it ends.
    ShowWindowGeometry(dialog, window);
}

}  // namespace

void StepMoveWindow(HWND dialog, const WindowEntry& entry, int16_t direction, int32_t step)
{
    StepWindow(dialog, entry, direction, step, PlanStepMove);
}

void StepResizeWindow(HWND dialog, const WindowEntry& entry, int16_t direction, int32_t step)
{
    StepWindow(dialog, entry, direction, step, PlanStepResize);
}

void StepMoveSelectedWindow(HWND dialog, int16_t direction)
{
    WindowEntry* entry = ReadSelection(dialog);
    if (entry)
        StepMoveWindow(dialog, *entry, direction, UserSettings.GetPositionStep());
}

void StepResizeSelectedWindow(HWND dialog, int16_t direction)
{
    WindowEntry* entry = ReadSelection(dialog);
    if (entry)
        StepResizeWindow(dialog, *entry, direction, UserSettings.GetSizeStep());
}
