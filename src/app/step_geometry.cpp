// Step geometry in unsigned 32-bit arithmetic: extreme rectangles and steps wrap
// around like the two's-complement sums they stand for, with no undefined behaviour.
#include "step_geometry.h"

namespace {

int32_t Add(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t Subtract(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

Placement Unchanged(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return Placement{left, top, Subtract(right, left), Subtract(bottom, top)};
}

}  // namespace

bool PlanStepMove(int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int16_t direction, int32_t step, Placement* placement)
{
    Placement p = Unchanged(left, top, right, bottom);
    switch (direction) {
    case MOVE_UP:    p.y = Subtract(top, step); break;
    case MOVE_DOWN:  p.y = Add(top, step); break;
    case MOVE_RIGHT: p.x = Add(left, step); break;
    case MOVE_LEFT:  p.x = Subtract(left, step); break;
    default:         return false;
    }
    *placement = p;
    return true;
}

bool PlanStepResize(int32_t left, int32_t top, int32_t right, int32_t bottom,
                    int16_t direction, int32_t step, Placement* placement)
{
    Placement p = Unchanged(left, top, right, bottom);
    switch (direction) {
    case RESIZE_TALLER:   p.height = Add(p.height, step); break;
    case RESIZE_SHORTER:  p.height = Subtract(p.height, step); break;
    case RESIZE_NARROWER: p.width = Subtract(p.width, step); break;
    case RESIZE_WIDER:    p.width = Add(p.width, step); break;
    default:              return false;
    }
    *placement = p;
    return true;
}
