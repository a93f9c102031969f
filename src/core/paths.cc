#include "core/paths.h"

bool is_path_separator(char c) { return c == '\\' || c == '/'; }

split_path_result split_path(std::string_view path) {
  split_path_result result;
  for (std::size_t i = path.size(); i-- > 0;) {
    if (is_path_separator(path[i])) {
      result.dir = std::string(path.substr(0, i));
      result.name = std::string(path.substr(i + 1));
      result.sep = path[i];
      return result;
    }
  }
  result.name = std::string(path);
  return result;
}

std::string join_path(std::string_view dir, char sep, std::string_view name) {
  std::string result(dir);
  result += sep;
  result += name;
  return result;
}
