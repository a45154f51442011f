// The one rectangle comparison of the tests; see rect_check.h.
#include "rect_check.h"

::testing::AssertionResult HasRect(HWND window, int x, int y, int width, int height)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return ::testing::AssertionFailure() << "no rectangle for window " << window;
    if (r.left == x && r.top == y && r.right - r.left == width && r.bottom - r.top == height)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected x " << x << ", y " << y << ", " << width << " x " << height
                                         << "; got x " << r.left << ", y " << r.top << ", " << r.right - r.left
                                         << " x " << r.bottom - r.top;
}

::testing::AssertionResult HasRect(HWND window, const RECT& expected)
{
    return HasRect(window, expected.left, expected.top, expected.right - expected.left,
                   expected.bottom - expected.top);
}
