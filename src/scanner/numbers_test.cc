#include "scanner/numbers.h"

#include <gtest/gtest.h>

#include <string>

TEST(Numbers, DecimalWrapsUpTo32BitsAndSaturatesBeyond) {
  EXPECT_EQ(decimal_value("0"), 0);
  EXPECT_EQ(decimal_value("010"), 10);
  EXPECT_EQ(decimal_value("2147483647"), 2147483647);
  EXPECT_EQ(decimal_value("2147483648"), INT32_MIN);
  EXPECT_EQ(decimal_value("4294967295"), -1);
  EXPECT_EQ(decimal_value("4294967296"), -1);
  EXPECT_EQ(decimal_value("99999999999999999999999999"), -1);
  EXPECT_EQ(decimal_value("0000000000000000000000000042"), 42);
}

TEST(Numbers, HexSaturatesPast32Bits) {
  EXPECT_EQ(hex_value("1f"), 31);
  EXPECT_EQ(hex_value("1F"), 31);
  EXPECT_EQ(hex_value("FFFFFFFF"), -1);
  EXPECT_EQ(hex_value("80000000"), INT32_MIN);
  EXPECT_EQ(hex_value("123456789"), -1);
  EXPECT_EQ(hex_value("000000000000000000001"), 1);
}

TEST(Numbers, FractionsAre24BitFixedPoint) {
  struct example {
    const char* text;
    std::int32_t value;
  };
  for (example e : {example{"0.25", 4194304}, {"-0.25", 12582912}, {"0.1", 1677721},
                    {"-0.00000001", 16777215}, {"-0.0", 16777216}, {"0.0", 0},
                    {"0.4999999", 8388606}, {"-0.4999999", 8388609}}) {
    fraction_result r = fraction_value(e.text);
    EXPECT_TRUE(r.in_range) << e.text;
    EXPECT_EQ(r.value, e.value) << e.text;
  }
}

TEST(Numbers, FractionsFromOneHalfUpAreOutOfRange) {
  for (const char* text : {"0.5", "-0.5", "00.5", "1.5", "-7.25", "123456789012345678901234.0"}) {
    fraction_result r = fraction_value(text);
    EXPECT_FALSE(r.in_range) << text;
    EXPECT_EQ(r.value, 0) << text;
  }
}

TEST(Numbers, FractionsBeyondTheDoubleRange) {
  // Past the largest double the text is an infinity: out of range.
  const std::string huge = "1" + std::string(400, '0') + ".25";
  EXPECT_FALSE(fraction_value(huge).in_range);
  EXPECT_FALSE(fraction_value("-" + huge).in_range);
  // Below the smallest double it is a zero.
  const std::string tiny = "0." + std::string(400, '0') + "1";
  EXPECT_EQ(fraction_value(tiny).value, 0);
  EXPECT_TRUE(fraction_value(tiny).in_range);
  EXPECT_EQ(fraction_value("-" + tiny).value, 16777216);
}
