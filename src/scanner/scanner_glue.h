// GLUE: everything the scanner takes from the rest of the run, in one place.
//
// The scanner (lexer.h) keeps all of its own state in one object and reaches
// the outside world only through this class: the disk, the run's strings and
// symbol table, the working directory, the name of the current source that
// messages and records use, and every message it reports. It is a thin view
// of the run's context (scanner_glue.cc); nothing else in the scanner knows
// the run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_context.h"
#include "platform/disk.h"

class scanner_glue {
 public:
  explicit scanner_glue(run_context& run) : run_(run) {}

  // --- the disk and the run ---

  /// Opens a source in text mode, or gives null and the system's reason.
  std::unique_ptr<source_reader> open_source(const std::string& path, std::string& reason);
  /// The directory whose "lib" directory holds the angled includes.
  const std::string& library_root();
  /// Names defined on the command line, as if by "#define" lines first.
  const std::vector<std::string>& predefined() const;
  /// Directories searched after the usual place of an include.
  const std::vector<std::string>& include_dirs() const;
  /// A warning (shown only when asked for) about `line` of `file`.
  void warn(message_id id, const char* file, int line, const char* argument = nullptr);
  /// A copy of `text` that lives as long as the run's program.
  char* keep(std::string_view text);
  /// Publishes the name of the source being read (null: none).
  void set_current_file(const char* name);
  /// Where the lines read go when a listing is asked for, else null.
  line_log* listing_lines();
  /// Records an include file that was opened (for the dependency file).
  void include_opened(const std::string& path);
  /// The errors the run has counted so far. Every syntax or grammar error
  /// of the parser is counted, whether printed or not, so while the count
  /// stays where it was when the parse began, the parser has never been in
  /// error recovery: merging NEWLINE tokens relies on that.
  int error_count();
  /// The value of the constant `name` (NUL-terminated) when one is
  /// declared, which also becomes the constant last scanned; else false.
  bool find_constant(const char* name, std::int32_t& value);

  // --- messages; each counts as an error unless said otherwise ---

  /// A byte that no rule takes.
  void bad_character(const char* file, int line, int column, char c);
  void fraction_out_of_range(const char* file, int line, int column);
  /// Not counted: the includer goes on outside the comment.
  void unterminated_comment(const char* file, int line);
  void bad_include_line(const char* file, int line);
  /// A source that cannot be opened, named by the directive at `line`.
  void cannot_open(const char* file, int line, const std::string& path, const std::string& reason);
  void include_recursion(const char* file, int line);
  /// Ends the run with status 2: "file:line: Fatal error: what".
  [[noreturn]] void fatal(const char* file, int line, const char* what);
  /// Ends the run with status 2 after a failed read of `file`.
  [[noreturn]] void read_error(const char* file);
  /// Ends the run with status 1 when a new source finds no memory.
  [[noreturn]] void out_of_memory();

 private:
  run_context& run_;
};
