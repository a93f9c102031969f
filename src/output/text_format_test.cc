#include "output/text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

TEST(TextFormat, MatchesPrintfForEveryWidthAndSign) {
  for (unsigned value : {0u, 5u, 0xABu, 0xFFFFu, 0x10000u, 0x12345678u, 0xFFFFFFFFu}) {
    for (int digits : {2, 4}) {
      char expected[32];
      std::snprintf(expected, sizeof expected, "%0*X", digits, value);
      std::string text;
      append_hex(text, value, digits);
      EXPECT_EQ(text, expected);
    }
  }
  for (long long value : {0LL, -1LL, 300LL, static_cast<long long>(INT_MIN), 4294967295LL}) {
    std::string text;
    append_dec(text, value);
    EXPECT_EQ(text, std::to_string(value));
  }
}
