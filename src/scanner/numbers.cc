#include "scanner/numbers.h"

#include <charconv>
#include <system_error>

namespace {

constexpr std::uint64_t MAX_32 = 0xFFFFFFFFu;

std::int32_t saturated(std::string_view digits, unsigned base) {
  std::uint64_t value = 0;
  for (char c : digits) {
    unsigned digit = c <= '9' ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
    value = value * base + digit;
    // Leading zeros keep the value 0, so they never saturate.
    if (value > MAX_32) return -1;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

std::int32_t decimal_value(std::string_view digits) { return saturated(digits, 10); }

std::int32_t hex_value(std::string_view digits) { return saturated(digits, 16); }

fraction_result fraction_value(std::string_view text) {
  double f = 0;
  // from_chars reads the leading '-' and ignores the locale.
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), f);
  if (error == std::errc::result_out_of_range) {
    // from_chars leaves f alone then: a text past the double range is an
    // infinity, one too small for it is a zero.
    const bool whole_part = text.find_first_not_of("-0") < text.find('.');
    if (whole_part) return {};
    f = 0;
  }
  if (f <= -0.5 || f >= 0.5) return {};
  constexpr double units = 16777216.0;
  double scaled = !text.empty() && text.front() == '-' ? (f + 1.0) * units : f * units;
  return {static_cast<std::int32_t>(scaled), true};
}
