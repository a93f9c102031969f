// Fast pieces of the output lines: the image files have a line per byte or
// pair of bytes, so printf's parsing of its format dominated writing them.
#pragma once

#include <charconv>
#include <string>

/// Appends `value` as at least `digits` upper-case hexadecimal digits ("%0*X").
inline void append_hex(std::string& text, unsigned value, int digits) {
  static const char hex_digits[] = "0123456789ABCDEF";
  while (digits < 8 && (value >> (4 * digits)) != 0) ++digits;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
    text += hex_digits[(value >> shift) & 0xF];
  }
}

/// Appends `value` in signed decimal ("%d").
inline void append_dec(std::string& text, long long value) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  text.append(digits, result.ptr);
}
