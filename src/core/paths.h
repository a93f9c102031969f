// Splitting and joining paths in the separator style the user wrote.
#pragma once

#include <string>
#include <string_view>

/// True for the characters at which a path is split.
bool is_path_separator(char c);

/// A path cut at its last separator.
struct split_path_result {
  std::string dir;   ///< empty when there is no separator
  std::string name;  ///< the part after the separator, or the whole path
  char sep = 0;      ///< the separator cut at; 0 when there was none
};
split_path_result split_path(std::string_view path);

/// dir, separator, name: the inverse of split_path.
std::string join_path(std::string_view dir, char sep, std::string_view name);
