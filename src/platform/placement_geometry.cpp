// Workspace offsets wrap around in unsigned 32-bit arithmetic, as the window system's
// own coordinates do; the fitting works in 64 bits, where no rectangle of 32-bit
// coordinates can overflow.
#include "placement_geometry.h"

namespace {

int32_t Add(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t Subtract(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// [start, start + length) moved the least distance that puts it inside [low, high), and
// cut to the room there first. A negative length, which no window has, counts as none.
void FitSpan(int64_t start, int64_t length, int64_t low, int64_t high, int32_t* fittedStart, int32_t* fittedEnd)
{
    int64_t room = high > low ? high - low : 0;
    length = length < 0 ? 0 : length > room ? room : length;
    if (start > low + room - length)
        start = low + room - length;
    if (start < low)
        start = low;
    *fittedStart = static_cast<int32_t>(start);
    *fittedEnd = static_cast<int32_t>(start + length);
}

}  // namespace

Box WorkspaceToScreen(const Box& box, const Box& work, const Box& monitor)
{
    int32_t dx = Subtract(work.left, monitor.left);
    int32_t dy = Subtract(work.top, monitor.top);
    return Box{Add(box.left, dx), Add(box.top, dy), Add(box.right, dx), Add(box.bottom, dy)};
}

Box FitIntoWorkArea(const Box& box, const Box& work)
{
    Box fitted;
    FitSpan(box.left, int64_t{box.right} - box.left, work.left, work.right, &fitted.left, &fitted.right);
    FitSpan(box.top, int64_t{box.bottom} - box.top, work.top, work.bottom, &fitted.top, &fitted.bottom);
    return fitted;
}
