// Everything one assembly run reads and writes. Each stage takes the run
// (or the parts it needs) as a parameter, so that runs are independent of
// each other: tests, fuzzers and the language server run many in one
// process, on several threads at once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "core/line_log.h"
#include "core/options.h"
#include "core/program.h"
#include "core/symbol_table.h"
#include "platform/disk.h"

/// The main source's path as the command line gave it, cut at its last
/// separator.
struct source_path {
  std::string dir;   ///< the directory part, or the whole path without a separator
  std::string name;  ///< the file-name part
  char sep = 0;      ///< the separator cut at; 0 when there was none

  /// The path again: the bare argument, or directory and name joined.
  std::string full() const;
};

/// Thrown to end a run at once; the entry point returns `status`. The
/// message that explains the end has been reported before.
struct fatal_exit {
  int status;
};

class run_context {
 public:
  run_context(disk_interface& disk, diagnostic_sink& sink) : disk(disk), diag(sink) {}
  run_context(const run_context&) = delete;
  run_context& operator=(const run_context&) = delete;

  disk_interface& disk;
  diagnostics diag;
  program prog;
  symbol_table symbols;
  source_path source;
  assembly_options options;
  /// The working directory at start: angled includes are found under it.
  std::string working_directory;
  /// The source being scanned (null outside the parse): the parser names it
  /// in its messages and records.
  const char* current_file = nullptr;
  /// Every include file the scanner opened, in the order it opened them.
  std::vector<std::string> included_sources;
  /// Every output file written, in the order written.
  std::vector<std::string> outputs_written;
  /// Name of the last constant token the scanner produced (null until one);
  /// the parser names its declaration when the constant is declared again.
  const char* inst_const = nullptr;
  /// The lines read, kept only when a listing is asked for.
  std::optional<line_log> lines;
};
