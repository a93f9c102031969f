#include "parser/const_expr.h"

#include <limits>

namespace {

std::int32_t as_signed(std::uint32_t value) { return static_cast<std::int32_t>(value); }
std::uint32_t as_unsigned(std::int32_t value) { return static_cast<std::uint32_t>(value); }

}  // namespace

std::int32_t wrapping_add(std::int32_t a, std::int32_t b) {
  return as_signed(as_unsigned(a) + as_unsigned(b));
}

std::int32_t wrapping_sub(std::int32_t a, std::int32_t b) {
  return as_signed(as_unsigned(a) - as_unsigned(b));
}

std::int32_t wrapping_mul(std::int32_t a, std::int32_t b) {
  return as_signed(as_unsigned(a) * as_unsigned(b));
}

division_status divide(std::int32_t a, std::int32_t b, std::int32_t& quotient) {
  if (b == 0) return division_status::by_zero;
  if (a == std::numeric_limits<std::int32_t>::min() && b == -1) return division_status::overflow;
  quotient = a / b;
  return division_status::ok;
}
