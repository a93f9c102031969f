// What a command line asks of one assembly run beyond the source itself.
#pragma once

#include <optional>
#include <string>
#include <vector>

/// How diagnostics are printed.
enum class diagnostic_form {
  classic,  ///< the assembler's own error lines, on standard output
  gnu,      ///< "FILE:LINE:COLUMN: error: TEXT" on standard error
  json,     ///< one JSON object a line on standard error
};

struct assembly_options {
  /// Names defined as if by "#define" lines before the source.
  std::vector<std::string> defines;
  /// Where angled includes are looked up after lib/, and quoted ones not
  /// found beside their includer.
  std::vector<std::string> include_dirs;
  /// Where the output files go; empty for beside the source.
  std::string output_dir;
  /// The listing, symbol and dependency files: empty for the default name.
  std::optional<std::string> listing;
  std::optional<std::string> symbols;
  std::optional<std::string> deps;
  diagnostic_form diagnostics = diagnostic_form::classic;
  bool warnings = false;
  bool fatal_warnings = false;
  /// Arguments after the source path: ignored, warned about with -W.
  std::vector<std::string> ignored_args;
};
