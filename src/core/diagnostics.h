// Every message of a run: one record per problem, rendered by a sink.
//
// The texts are contracts: users' build scripts and editors match the error
// lines byte for byte, so the catalogue (diagnostics.cc) keeps them exactly
// as they have always been printed, odd spellings and all.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

#include "core/options.h"

/// Stable identities of the messages; their names in the catalogue do not
/// change once published (the JSON form carries them).
enum class message_id {
  // Command line and run sequence.
  source_not_opened,
  org_rule,
  out_of_memory,
  fatal,
  // Scanner and include handling.
  unterminated_comment,
  float_out_of_range,
  bad_character,
  bad_include_line,
  include_not_opened,
  include_recursion,
  // Parser.
  syntax_error,
  grammar_error,
  // Statement checks.
  too_few_parameters,
  too_many_parameters,
  wrong_type,
  wrong_range,
  opcode_not_found,
  missing_jump_label,
  skip_count_zero,
  parameter_zero,
  third_parameter_zero,
  swap_r_with_z,
  jump_label_missing,
  // Jump optimisation.
  jumplabel_not_found,
  bit_jumplabel_not_found,
  not_enough_memory,
  org_fixed_address,
  skip_beyond_end,
  // Output.
  hex_opcode_not_found,
  address_conflict,
  program_too_large,
  write_failed,
  write_over_source,
  bad_source_date_epoch,
  // Warnings, printed only when asked for (-W).
  else_with_text,
  ifdef_in_skipped_block,
  conditional_outside_block,
  name_defined_twice,
  ignored_argument,
  unused_label,
  unused_constant,
};

enum class severity { error, warning, note };

/// Where a console line goes.
enum class stream { out, err };

/// One message of a run. `text` is the message proper, without file and
/// line; `out` and `err` hold the exact console text of the classic form.
struct diagnostic {
  message_id id;
  severity level = severity::error;
  std::string file;  ///< empty when the message names no file
  int line = 0;      ///< 0 when it names no line
  int column = 0;    ///< 0 when the column is not known
  int end_column = 0;  ///< the last column of the range, 0 when not known
  std::string text;
  /// What the machine-readable forms add to the text: facts the classic
  /// line leaves out (an operand's value and range, for one).
  std::string detail;
  std::string out;
  std::string err;
};

/// The stable name of a message, for machine-readable forms.
std::string_view message_name(message_id id);

/// A message in the GNU form, "FILE:LINE:COLUMN: error: TEXT" and a line
/// break (what is not known is left out), or as one line of JSON.
std::string gnu_form(const diagnostic& message);
std::string json_form(const diagnostic& message);

/// Receives what a run prints: diagnostics, and the plain console lines
/// (banner, help, summary) that are no diagnostics.
class diagnostic_sink {
 public:
  virtual ~diagnostic_sink() = default;
  virtual void report(const diagnostic& message) = 0;
  virtual void write(stream where, std::string_view text) = 0;
};

/// The process's standard output and error, in the classic form. Standard
/// output is flushed before anything goes to standard error, so that the
/// two interleave on a terminal as they were produced.
class console_sink : public diagnostic_sink {
 public:
  void report(const diagnostic& message) override;
  void write(stream where, std::string_view text) override;
};

/// Keeps the classic console text of a run in memory (tests, fuzzers, the
/// library's callers): each stream, and both in the order written.
class capture_sink : public diagnostic_sink {
 public:
  void report(const diagnostic& message) override;
  void write(stream where, std::string_view text) override;

  std::string out;
  std::string err;
};

/// A run's reporter: renders each message from the catalogue, counts the
/// errors, and hands the record to the sink.
class diagnostics {
 public:
  explicit diagnostics(diagnostic_sink& sink) : sink_(sink) {}

  /// How messages are printed, and what becomes of warnings: shown only
  /// when `warnings` is set, and counted as errors with `fatal_warnings`.
  void configure(diagnostic_form form, bool warnings, bool fatal_warnings) {
    form_ = form;
    warnings_shown_ = warnings;
    warnings_fatal_ = fatal_warnings;
  }

  /// Reports message `id` about `file` and `line` with the catalogue
  /// format's arguments, and counts it when it is an error that counts.
  void report(message_id id, const char* file, int line, ...);
  void report_at(message_id id, const char* file, int line, int column, ...);
  /// As report_at, with the detail that the machine-readable forms add.
  void report_detailed(message_id id, const char* file, int line, int column,
                       std::string detail, ...);
  /// The parser's messages: the text is given; "%s Line %d ERROR: " comes
  /// before it unless `line` is 0 (a syntax error is then counted but not
  /// printed at all).
  void report_text(message_id id, const char* file, int line, int column, std::string text);
  /// The three lines of a character the scanner cannot read.
  void report_bad_character(const char* file, int line, int column, char c);
  /// A line on standard error ending the run (overflows, fatal scanner states).
  void report_fatal(std::string text);

  /// Plain console text that is no diagnostic.
  void write(stream where, std::string_view text) { sink_.write(where, text); }
  void printf(const char* format, ...);

  int error_count() const { return errors_; }
  int warning_count() const { return warnings_; }
  void count_error() { ++errors_; }

 private:
  void vreport(message_id id, const char* file, int line, int column, std::string detail,
               std::va_list args);
  void emit(diagnostic& message, bool counted);

  diagnostic_sink& sink_;
  diagnostic_form form_ = diagnostic_form::classic;
  bool warnings_shown_ = false;
  bool warnings_fatal_ = false;
  int errors_ = 0;
  int warnings_ = 0;
};
