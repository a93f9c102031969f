#include "core/appendf.h"

#include <cstdio>

void vappendf(std::string& text, const char* format, std::va_list args) {
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  if (length > 0) {
    const std::size_t old_size = text.size();
    text.resize(old_size + static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data() + old_size, static_cast<std::size_t>(length) + 1, format, again);
    text.resize(old_size + static_cast<std::size_t>(length));
  }
  va_end(again);
}

void appendf(std::string& text, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  vappendf(text, format, args);
  va_end(args);
}
