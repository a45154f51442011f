// Numbers in edit fields: written with "%d", read with one forgiving conversion.
// Pure text work, no window system, so it is unit-tested natively.
#pragma once
#include <cstdint>

// Room for "%d" of any 32-bit value, and the 15 characters plus terminator that
// every field read takes.
constexpr int DECIMAL_BUFFER_SIZE = 16;

// Skips leading white space, takes one optional sign, then digits up to the first
// non-digit. No digits gives 0. Accumulates with 32-bit wrap-around, never saturating.
int32_t ParseDecimal(const char* text);

// Writes value with "%d" into buffer, which holds DECIMAL_BUFFER_SIZE characters.
void FormatDecimal(int32_t value, char* buffer);
