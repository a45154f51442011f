// Where a step move or resize puts a window, from its rectangle, a direction code and a step.
// Pure arithmetic, tested natively.
#pragma once
#include <cstdint>

enum MoveDirection : int16_t { MOVE_UP = 1, MOVE_DOWN = 2, MOVE_RIGHT = 3, MOVE_LEFT = 4 };
enum ResizeDirection : int16_t { RESIZE_TALLER = 1, RESIZE_SHORTER = 2, RESIZE_NARROWER = 3, RESIZE_WIDER = 4 };

struct Placement {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// Each returns false for a code outside 1 to 4, and then leaves placement alone.
// Nothing is clamped: all sums wrap around in 32 bits.
bool PlanStepMove(int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int16_t direction, int32_t step, Placement* placement);
bool PlanStepResize(int32_t left, int32_t top, int32_t right, int32_t bottom,
                    int16_t direction, int32_t step, Placement* placement);
