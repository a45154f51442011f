// Decimal text conversion shared by the geometry fields and the settings dialogs.
#include "decimal_text.h"

#include <cstdio>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int32_t ParseDecimal(const char* text)
{
    if (text == nullptr)
        return 0;
    while (IsSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    // Unsigned so that a number past the 32-bit range wraps instead of overflowing.
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + static_cast<uint32_t>(*text - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

void FormatDecimal(int32_t value, char* buffer)
{
    std::snprintf(buffer, DECIMAL_BUFFER_SIZE, "%d", static_cast<int>(value));
}
