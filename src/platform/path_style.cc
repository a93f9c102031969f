#include "platform/path_style.h"

#ifdef _WIN32

char native_separator() { return '\\'; }

bool has_posix_root(std::string_view) { return false; }

std::string native_path(const std::string& path) { return path; }

#else

char native_separator() { return '/'; }

bool has_posix_root(std::string_view name) { return !name.empty() && name.front() == '/'; }

std::string native_path(const std::string& path) {
  std::string result = path;
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  return result;
}

#endif
