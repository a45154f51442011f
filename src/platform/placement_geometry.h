// Where a window is put when it is brought back: a rectangle that the window system
// gives in workspace coordinates turned into screen pixels, and one that is off every
// screen moved into a work area. Pure arithmetic, tested natively.
#pragma once
#include <cstdint>

struct Box {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Workspace coordinates start at the top-left corner of the monitor's work area: box
// moved by how far that corner lies from the monitor's own, wrapping around in 32 bits.
Box WorkspaceToScreen(const Box& box, const Box& work, const Box& monitor);

// box moved the least distance that puts it wholly inside work. A box wider or taller
// than the work area is cut to the work area's width or height first.
Box FitIntoWorkArea(const Box& box, const Box& work);
