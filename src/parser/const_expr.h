// Arithmetic of constant expressions on signed 32-bit values.
#pragma once

#include <cstdint>

/// Sums, differences and products wrap around modulo 2^32.
std::int32_t wrapping_add(std::int32_t a, std::int32_t b);
std::int32_t wrapping_sub(std::int32_t a, std::int32_t b);
std::int32_t wrapping_mul(std::int32_t a, std::int32_t b);

enum class division_status { ok, by_zero, overflow };
/// Quotient truncated toward zero; no quotient for a zero divisor or for
/// the most negative value divided by -1.
division_status divide(std::int32_t a, std::int32_t b, std::int32_t& quotient);
