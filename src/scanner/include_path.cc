#include "scanner/include_path.h"

#include "core/paths.h"
#include "platform/path_style.h"

namespace {

bool starts_with_up_step(std::string_view name) {
  return name.size() >= 3 && name[0] == '.' && name[1] == '.' && is_path_separator(name[2]);
}

/// A directory whose last part can be climbed out of by dropping it: not a
/// root, a drive, "." or ".." (dropping those would not go up a level).
bool has_level(std::string_view dir) {
  std::string last = split_path(dir).name;
  return !last.empty() && last != "." && last != ".." && last.back() != ':';
}

}  // namespace

bool is_absolute_include(std::string_view name) {
  if (name.find("\\\\") != std::string_view::npos) return true;
  if (name.find(':') != std::string_view::npos) return true;
  if (has_posix_root(name)) return true;
  return false;
}

std::string quoted_include_path(std::string_view including_file, std::string_view name) {
  if (is_absolute_include(name)) return std::string(name);
  split_path_result where = split_path(including_file);
  if (where.sep == 0) return std::string(name);  // beside a file in the working directory
  std::string dir = where.dir;
  char sep = where.sep;
  while (starts_with_up_step(name) && has_level(dir)) {
    split_path_result up = split_path(dir);
    name.remove_prefix(3);
    // Climbing out of a one-part relative directory lands in the working directory.
    if (up.sep == 0) return std::string(name);
    dir = up.dir;
    sep = up.sep;
  }
  // Up-steps beyond the last level, or not at the start, are left to the file system.
  return join_path(dir, sep, name);
}

std::string angled_include_path(std::string_view exe_path, std::string_view name) {
  std::string path(exe_path);
  path += native_separator();
  path += "lib";
  path += native_separator();
  path += name;
  return path;
}
