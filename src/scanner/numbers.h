// The values of the number tokens.
#pragma once

#include <cstdint>
#include <string_view>

/// Decimal digits as a 32-bit value: up to 4294967295 taken modulo 2^32,
/// anything larger saturates to 0xFFFFFFFF (-1).
std::int32_t decimal_value(std::string_view digits);

/// Hexadecimal digits (without "0x") as a 32-bit value; more than 32 bits
/// saturate to 0xFFFFFFFF.
std::int32_t hex_value(std::string_view digits);

/// A fraction such as "0.25" or "-0.25" as a 24-bit two's-complement fixed
/// point value (16777216 units per 1); out of range (|f| >= 0.5) gives 0.
struct fraction_result {
  std::int32_t value = 0;
  bool in_range = false;
};
fraction_result fraction_value(std::string_view text);
