#include "parser/const_expr.h"

#include <gtest/gtest.h>

TEST(ConstExpr, SumsDifferencesAndProductsWrap) {
  EXPECT_EQ(wrapping_add(INT32_MAX, 1), INT32_MIN);
  EXPECT_EQ(wrapping_sub(INT32_MIN, 1), INT32_MAX);
  EXPECT_EQ(wrapping_sub(0, 1), -1);
  EXPECT_EQ(wrapping_mul(65536, 65536), 0);
  EXPECT_EQ(wrapping_mul(INT32_MIN, -1), INT32_MIN);
  EXPECT_EQ(wrapping_mul(-3, 7), -21);
}

TEST(ConstExpr, DivisionTruncatesTowardZero) {
  std::int32_t q = 99;
  EXPECT_EQ(divide(7, 2, q), division_status::ok);
  EXPECT_EQ(q, 3);
  EXPECT_EQ(divide(-5, 2, q), division_status::ok);
  EXPECT_EQ(q, -2);
  EXPECT_EQ(divide(INT32_MIN, 1, q), division_status::ok);
  EXPECT_EQ(q, INT32_MIN);
}

TEST(ConstExpr, DivisionWithoutQuotient) {
  std::int32_t q = 99;
  EXPECT_EQ(divide(1, 0, q), division_status::by_zero);
  EXPECT_EQ(divide(0, 0, q), division_status::by_zero);
  EXPECT_EQ(divide(INT32_MIN, -1, q), division_status::overflow);
  EXPECT_EQ(q, 99);
}
