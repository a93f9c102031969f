// Where the file of an include directive is looked for.
#pragma once

#include <string>
#include <string_view>

/// A quoted name opened as written: two backslashes in a row or a colon
/// anywhere, and on POSIX systems a leading '/'.
bool is_absolute_include(std::string_view name);

/// The path of a quoted include name written in `including_file`: beside
/// that file, each leading up-step ("..\" or "../") climbing one directory.
std::string quoted_include_path(std::string_view including_file, std::string_view name);

/// The path of an angled include name: the "lib" directory under `exe_path`.
std::string angled_include_path(std::string_view exe_path, std::string_view name);
