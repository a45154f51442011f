#include <gtest/gtest.h>
#include "platform/decimal_text.h"
TEST(Decimal, Basic) { EXPECT_EQ(ParseDecimal("12"), 12); }
