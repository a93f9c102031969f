// Every message of a run: one record per problem, rendered by a sink.
//
// The texts are contracts: users' build scripts and editors match the error
// lines byte for byte, so the catalogue (diagnostics.cc) keeps them exactly
// as they have always been printed, odd spellings and all.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

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
  std::string text;
  std::string out;
  std::string err;
};

/// The stable name of a message, for machine-readable forms.
std::string_view message_name(message_id id);

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

  /// Reports message `id` about `file` and `line` with the catalogue
  /// format's arguments, and counts it when it is an error that counts.
  void report(message_id id, const char* file, int line, ...);
  void report_at(message_id id, const char* file, int line, int column, ...);
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
  /// The parser sets the count back at its start; the count is the run's.
  void set_error_count(int count) { errors_ = count; }
  void count_error() { ++errors_; }

 private:
  void vreport(message_id id, const char* file, int line, int column, std::va_list args);
  void emit(diagnostic& message, bool counted);

  diagnostic_sink& sink_;
  int errors_ = 0;
};
