// What the geometry fields and the settings dialogs make of the text a user types,
// and what they show for a number.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/decimal_text.h"

namespace {

struct ParseCase {
    const char* text;
    int32_t expected;
};

void ExpectParses(const ParseCase* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(ParseDecimal(cases[i].text), cases[i].expected) << "text \"" << cases[i].text << "\"";
}

std::string Format(int32_t value)
{
    char buffer[DECIMAL_BUFFER_SIZE];
    FormatDecimal(value, buffer);
    return buffer;
}

}  // namespace

TEST(DecimalText, PlainNumbersReadAsTyped)
{
    static const ParseCase cases[] = {
        {"0", 0}, {"7", 7}, {"25", 25}, {"-3", -3}, {"+7", 7}, {"1000", 1000}, {"007", 7},
    };
    ExpectParses(cases, sizeof cases / sizeof cases[0]);
}

TEST(DecimalText, LeadingWhiteSpaceOfAllSixKindsIsSkipped)
{
    static const ParseCase cases[] = {
        {"  25", 25}, {"\t\n\v\f\r 5", 5}, {" \t-12", -12}, {"\r\n+4", 4},
    };
    ExpectParses(cases, sizeof cases / sizeof cases[0]);
}

TEST(DecimalText, ReadingStopsAtTheFirstNonDigit)
{
    static const ParseCase cases[] = {
        {"12abc", 12}, {"3.9", 3}, {"40 50", 40}, {"-8px", -8}, {"5-", 5},
    };
    ExpectParses(cases, sizeof cases / sizeof cases[0]);
}

TEST(DecimalText, TextWithoutDigitsReadsAsZero)
{
    static const ParseCase cases[] = {
        {"", 0}, {"   ", 0}, {"abc", 0}, {"-", 0}, {"+", 0},
        // Only one sign, and no space between it and the digits.
        {"+-3", 0}, {"-+3", 0}, {"--3", 0}, {"- 3", 0}, {"+ 3", 0},
        // Anything but white space before the number hides it.
        {"x 5", 0}, {".5", 0},
    };
    ExpectParses(cases, sizeof cases / sizeof cases[0]);
}

TEST(DecimalText, NumbersBeyondThirtyTwoBitsWrapAroundInsteadOfSaturating)
{
    static const ParseCase cases[] = {
        {"2147483647", INT32_MAX},
        {"-2147483647", -INT32_MAX},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
        {"2147483649", INT32_MIN + 1},
        {"4294967295", -1},
        {"-4294967295", 1},
        {"4294967296", 0},
        {"4294967297", 1},
        {"10000000000", 1410065408},
    };
    ExpectParses(cases, sizeof cases / sizeof cases[0]);
}

TEST(DecimalText, VeryLongDigitStringsKeepTheirLowThirtyTwoBits)
{
    // Any multiple of 2^32 reads as 0, whatever its length: 2^32 * 10^k ends in k zeros.
    EXPECT_EQ(ParseDecimal(("4294967296" + std::string(200, '0')).c_str()), 0);
    EXPECT_EQ(ParseDecimal(("4294967296" + std::string(200, '0') + "42").c_str()), 42);
    EXPECT_EQ(ParseDecimal(("-4294967296" + std::string(200, '0') + "42").c_str()), -42);
    // Leading zeros of any length change nothing.
    EXPECT_EQ(ParseDecimal((std::string(5000, '0') + "123").c_str()), 123);
    // 10^32 mod 2^32 = 0, so 10^32 + 99 reads as 99.
    EXPECT_EQ(ParseDecimal(("1" + std::string(30, '0') + "99").c_str()), 99);
    // A long run of nines: (10^40 - 1) mod 2^32 as a signed 32-bit value.
    uint32_t nines = 0;
    for (int i = 0; i < 40; ++i)
        nines = nines * 10u + 9u;
    EXPECT_EQ(ParseDecimal(std::string(40, '9').c_str()), static_cast<int32_t>(nines));
}

TEST(DecimalText, FieldsShowSignedDecimalWithoutPadding)
{
    EXPECT_EQ(Format(0), "0");
    EXPECT_EQ(Format(-1), "-1");
    EXPECT_EQ(Format(640), "640");
    EXPECT_EQ(Format(-20), "-20");
    EXPECT_EQ(Format(INT32_MAX), "2147483647");
    EXPECT_EQ(Format(INT32_MIN), "-2147483648");
}

TEST(DecimalText, EveryShownNumberReadsBackUnchanged)
{
    static const int32_t values[] = {INT32_MIN, INT32_MIN + 1, -1000, -1, 0, 1, 199, 1000, INT32_MAX - 1, INT32_MAX};
    for (int32_t value : values) {
        char buffer[DECIMAL_BUFFER_SIZE];
        FormatDecimal(value, buffer);
        EXPECT_EQ(ParseDecimal(buffer), value) << "shown as \"" << buffer << "\"";
    }
}
