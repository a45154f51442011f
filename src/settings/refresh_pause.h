// How long the auto-refresh worker pauses, from the interval the user typed.
// Pure, tested natively.
#pragma once
#include <cstdint>

// The pause while auto refresh is off, and instead of an interval of 0 or below.
constexpr uint32_t DEFAULT_REFRESH_PAUSE_MS = 1000;

// A positive interval is that many milliseconds. 0 would rebuild back to back and
// starve the user's input; a negative one would sleep for weeks (-1: for ever).
// Both pause DEFAULT_REFRESH_PAUSE_MS instead; the stored setting is not touched.
uint32_t RefreshPause(int32_t intervalMs);
