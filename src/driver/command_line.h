// Reading the command line. With no argument, one of the classic option
// words alone, or a source path first, it means what it always meant; the
// newer options are recognised only before the source path.
#pragma once

#include <string>
#include <vector>

#include "core/options.h"
#include "platform/disk.h"

struct command_line {
  enum class action { usage, help, version, assemble };
  action what = action::usage;
  std::string source;
  assembly_options options;
};

/// A command line that cannot be run: the message says why (exit status 2).
struct usage_error {
  std::string message;
};

/// Reads `args` (without the program name). Directories named by -I and -o
/// must exist on `disk`. Throws usage_error.
command_line parse_command_line(const std::vector<std::string>& args, disk_interface& disk);
