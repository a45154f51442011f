// Rectangles compared in one place, with both sides printed on failure. Apart from the
// rest of the test support, since it alone needs GoogleTest.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

// Compares a window's rectangle with the expected position and size, printing both.
::testing::AssertionResult HasRect(HWND window, int x, int y, int width, int height);
::testing::AssertionResult HasRect(HWND window, const RECT& expected);
