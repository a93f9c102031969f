#include "core/diagnostics.h"

#include <cstdio>

#include "core/appendf.h"

#include <nlohmann/json.hpp>

namespace {

/// How the classic console line starts. Three variants of the error prefix
/// grew in different stages; scripts match each of them as it stands.
enum class prefix {
  none,         ///< the text alone
  line_error,   ///< "<file> Line <n> ERROR: "
  line_error2,  ///< "<file> Line <n>  ERROR: " (two blanks)
  line_colon,   ///< "<file>  Line:<n>  ERROR: "
  file_line,    ///< "<file>:<n>: " (the scanner's form)
  warning,      ///< "<file>:<n>: warning: " (warnings have no classic form)
};

struct catalogue_entry {
  message_id id;
  const char* name;  ///< stable, published in the JSON form
  severity level;
  stream where;
  prefix start;
  bool counted;        ///< adds one to the run's error count
  bool line_break;     ///< the classic line ends with "\n"
  bool also_err;       ///< the classic line goes to standard error too
  const char* format;  ///< printf format of the text proper
  /// The text in the machine-readable forms, when it says more than the
  /// classic one: a printf format over the same arguments.
  const char* rich_format = nullptr;
};

// Notes on the odd ones, all kept byte for byte because tools match them:
// - "jumplabel '%s' not found %x" shows the bit jump's own address last;
// - the ORG message's "n\xB0" is a degree sign in Latin-1, a single byte;
// - "hex file: opcode not found!!!" has no line break of its own;
// - "parameter can not be zero" of a plain skip has a "Line:" prefix of its
//   own, the same text for a shift count has the common one;
// - "bad include line" goes to both streams, and a bad character takes
//   three lines ("error occured", "test4:"), see report_bad_character.
constexpr catalogue_entry catalogue[] = {
    {message_id::source_not_opened, "source-not-opened", severity::error, stream::out,
     prefix::none, true, true, false, "Error: Could not open file '%s'", "cannot open source file '%s'"},
    {message_id::org_rule, "org-rule", severity::error, stream::out, prefix::line_error, true,
     true, false, "First opcode must be preceded by an ORG 0 directive"},
    {message_id::out_of_memory, "out-of-memory", severity::error, stream::out, prefix::none, true,
     true, false, "ERROR: memory could not be allocated", "memory could not be allocated"},
    {message_id::fatal, "fatal", severity::error, stream::err, prefix::none, false, true, false, "%s"},
    {message_id::unterminated_comment, "unterminated-comment", severity::warning, stream::out,
     prefix::file_line, false, true, false, "Unterminated comment"},
    {message_id::float_out_of_range, "float-out-of-range", severity::error, stream::out,
     prefix::file_line, true, true, false, "Error: float number out of range", "float number out of range"},
    {message_id::bad_character, "bad-character", severity::error, stream::out, prefix::none, true,
     true, false, "bad input character(s) '%c'"},
    {message_id::bad_include_line, "bad-include-line", severity::error, stream::out,
     prefix::none, true, true, true, "%s:%d bad include line"},
    {message_id::include_not_opened, "include-not-opened", severity::error, stream::err,
     prefix::none, true, true, false, "%s: %s", "cannot open include file '%s': %s"},
    {message_id::include_recursion, "include-recursion", severity::error, stream::out,
     prefix::file_line, true, true, false, "Error: infinite include file recursion",
     "infinite include file recursion"},
    {message_id::syntax_error, "syntax-error", severity::error, stream::out, prefix::line_error,
     true, true, false, "%s"},
    {message_id::grammar_error, "grammar-error", severity::error, stream::out, prefix::line_error,
     true, true, false, "%s"},
    {message_id::too_few_parameters, "too-few-parameters", severity::error, stream::out,
     prefix::line_error2, true, true, false, "too few parameters for opcode '%s'"},
    {message_id::too_many_parameters, "too-many-parameters", severity::error, stream::out,
     prefix::line_error2, true, true, false, "too many parameters for opcode '%s'"},
    {message_id::wrong_type, "wrong-type", severity::error, stream::out, prefix::line_error2, true,
     true, false, "wrong type for %s parameter in opcode '%s'"},
    {message_id::wrong_range, "wrong-range", severity::error, stream::out, prefix::line_error2,
     true, true, false, "wrong range for %s parameter in opcode '%s'"},
    {message_id::opcode_not_found, "opcode-not-found", severity::error, stream::out,
     prefix::line_error2, true, true, false, "opcode not found!!!"},
    {message_id::missing_jump_label, "missing-jump-label", severity::error, stream::out,
     prefix::line_error2, true, true, false, "missing jump label"},
    {message_id::skip_count_zero, "skip-count-zero", severity::error, stream::out,
     prefix::line_colon, true, true, false, "parameter can not be zero"},
    {message_id::parameter_zero, "parameter-zero", severity::error, stream::out,
     prefix::line_error2, true, true, false, "parameter can not be zero"},
    {message_id::third_parameter_zero, "third-parameter-zero", severity::error, stream::out,
     prefix::line_error2, true, true, false, "third parameter can not be zero"},
    {message_id::swap_r_with_z, "swap-r-with-z", severity::error, stream::out,
     prefix::line_error2, true, true, false, "swap between registers 'r' and 'z' not supported"},
    {message_id::jump_label_missing, "jump-label-missing", severity::error, stream::out,
     prefix::line_error2, true, true, false, "jump label '%s' does not exist"},
    {message_id::jumplabel_not_found, "jumplabel-not-found", severity::error, stream::out,
     prefix::line_error2, true, true, false, "jumplabel not found"},
    {message_id::bit_jumplabel_not_found, "bit-jumplabel-not-found", severity::error,
     stream::out, prefix::line_error2, true, true, false, "jumplabel '%s' not found %x"},
    {message_id::not_enough_memory, "not-enough-memory", severity::error, stream::out,
     prefix::none, true, true, false, "ERROR: not enough memory", "not enough memory"},
    {message_id::org_fixed_address, "org-fixed-address", severity::error, stream::out,
     prefix::line_error, true, true, false,
     "Jump optimization tried to change an opcode address fixed with org at line n\xB0 %d in "
     "file '%s'"},
    {message_id::skip_beyond_end, "skip-beyond-end", severity::error, stream::out,
     prefix::line_error2, true, true, false, "skip target lies beyond the end of the program"},
    {message_id::hex_opcode_not_found, "hex-opcode-not-found", severity::error, stream::out,
     prefix::none, false, false, false, "hex file: opcode not found!!!", "no encoding for the opcode"},
    {message_id::address_conflict, "address-conflict", severity::error, stream::out,
     prefix::line_error, true, true, false, "Address assignment conflict, please check ORG directive"},
    {message_id::program_too_large, "program-too-large", severity::error, stream::out,
     prefix::line_error2, true, true, false, "program exceeds maximum size of 64k bytes"},
    {message_id::write_failed, "write-failed", severity::error, stream::out, prefix::none, true,
     true, false, "ERROR: Could not write file '%s'", "cannot write file '%s'"},
    {message_id::write_over_source, "write-over-source", severity::error, stream::out,
     prefix::none, true, true, false, "ERROR: Could not write file '%s': it is the source file",
     "will not write file '%s': it is the source file"},
    {message_id::bad_source_date_epoch, "bad-source-date-epoch", severity::error, stream::out,
     prefix::none, true, true, false,
     "ERROR: SOURCE_DATE_EPOCH must be a number of seconds from 0 to 253402300799, not '%s'",
     "SOURCE_DATE_EPOCH must be a number of seconds from 0 to 253402300799, not '%s'"},
    {message_id::else_with_text, "else-with-text", severity::warning, stream::out,
     prefix::warning, false, true, false,
     "text after #else on its line: the #else is ignored and both branches are assembled"},
    {message_id::ifdef_in_skipped_block, "ifdef-in-skipped-block", severity::warning,
     stream::out, prefix::warning, false, true, false,
     "#ifdef inside a skipped block does not nest: the next #endif ends the outer block"},
    {message_id::conditional_outside_block, "conditional-outside-block", severity::warning,
     stream::out, prefix::warning, false, true, false, "%s outside a conditional block"},
    {message_id::name_defined_twice, "name-defined-twice", severity::warning, stream::out,
     prefix::warning, false, true, false, "'%s' is defined twice"},
    {message_id::ignored_argument, "ignored-argument", severity::warning, stream::out,
     prefix::warning, false, true, false, "argument '%s' after the source is ignored"},
    {message_id::unused_label, "unused-label", severity::warning, stream::out,
     prefix::warning, false, true, false, "jump label '%s' is never used"},
    {message_id::unused_constant, "unused-constant", severity::warning, stream::out,
     prefix::warning, false, true, false, "constant '%s' is never used"},
};

constexpr bool catalogue_in_order() {
  for (std::size_t i = 0; i < std::size(catalogue); ++i) {
    if (static_cast<std::size_t>(catalogue[i].id) != i) return false;
  }
  return true;
}
static_assert(catalogue_in_order(), "one catalogue entry per message id, in id order");

const catalogue_entry& entry_of(message_id id) { return catalogue[static_cast<std::size_t>(id)]; }

void append_prefix(std::string& line, prefix start, const char* file, int line_number) {
  const char* name = file != nullptr ? file : "";
  switch (start) {
    case prefix::none: break;
    case prefix::line_error: appendf(line, "%s Line %d ERROR: ", name, line_number); break;
    case prefix::line_error2: appendf(line, "%s Line %d  ERROR: ", name, line_number); break;
    case prefix::line_colon: appendf(line, "%s  Line:%d  ERROR: ", name, line_number); break;
    case prefix::file_line: appendf(line, "%s:%d: ", name, line_number); break;
    case prefix::warning:
      line += *name != '\0' ? name : "zr17_asm";
      if (*name != '\0' && line_number != 0) appendf(line, ":%d", line_number);
      line += ": warning: ";
      break;
  }
}

}  // namespace

std::string_view message_name(message_id id) { return entry_of(id).name; }

void console_sink::report(const diagnostic& message) {
  if (!message.err.empty()) write(stream::err, message.err);
  if (!message.out.empty()) write(stream::out, message.out);
}

void console_sink::write(stream where, std::string_view text) {
  if (where == stream::err) {
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
  } else {
    std::fwrite(text.data(), 1, text.size(), stdout);
  }
}

void capture_sink::report(const diagnostic& message) {
  out += message.out;
  err += message.err;
}

void capture_sink::write(stream where, std::string_view text) {
  (where == stream::out ? out : err) += text;
}

void diagnostics::report(message_id id, const char* file, int line, ...) {
  std::va_list args;
  va_start(args, line);
  vreport(id, file, line, 0, {}, args);
  va_end(args);
}

void diagnostics::report_at(message_id id, const char* file, int line, int column, ...) {
  std::va_list args;
  va_start(args, column);
  vreport(id, file, line, column, {}, args);
  va_end(args);
}

void diagnostics::report_detailed(message_id id, const char* file, int line, int column,
                                  std::string detail, ...) {
  std::va_list args;
  va_start(args, detail);
  vreport(id, file, line, column, std::move(detail), args);
  va_end(args);
}

void diagnostics::vreport(message_id id, const char* file, int line, int column,
                          std::string detail, std::va_list args) {
  const catalogue_entry& entry = entry_of(id);
  diagnostic message{id, entry.level, file != nullptr ? file : "", line, column, 0, {},
                     std::move(detail), {}, {}};
  std::va_list again;
  va_copy(again, args);
  vappendf(message.text, entry.format, args);
  std::string& classic = entry.where == stream::out ? message.out : message.err;
  append_prefix(classic, entry.start, file, line);
  classic += message.text;
  if (entry.line_break) classic += '\n';
  if (entry.also_err) message.err = classic;
  if (entry.rich_format != nullptr && form_ != diagnostic_form::classic) {
    message.text.clear();
    vappendf(message.text, entry.rich_format, again);
  }
  va_end(again);
  emit(message, entry.counted);
}

void diagnostics::report_text(message_id id, const char* file, int line, int column,
                              std::string text) {
  const catalogue_entry& entry = entry_of(id);
  diagnostic message{id, entry.level, file != nullptr ? file : "", line, column, 0,
                     std::move(text), {}, {}, {}};
  // A syntax error without a line (at the end of input) prints nothing; a
  // grammar message prints its text alone.
  if (line != 0) append_prefix(message.out, entry.start, file, line);
  if (line != 0 || id != message_id::syntax_error) {
    message.out += message.text;
    message.out += '\n';
  }
  emit(message, entry.counted);
}

void diagnostics::report_bad_character(const char* file, int line, int column, char c) {
  diagnostic message{message_id::bad_character, severity::error, file != nullptr ? file : "",
                     line, column, column, {}, {}, {}, {}};
  appendf(message.text, entry_of(message_id::bad_character).format, c);
  // "test4:" prints the character as a C string: a NUL shows as nothing.
  const char shown[2] = {c, '\0'};
  appendf(message.out, "error occured on line %d\ntest4: %s\n", line, shown);
  message.out += message.text;
  message.out += '\n';
  emit(message, true);
}

void diagnostics::report_fatal(std::string text) {
  diagnostic message{message_id::fatal, severity::error, {}, 0, 0, 0, std::move(text), {}, {}, {}};
  message.err = message.text + "\n";
  emit(message, false);
}

void diagnostics::printf(const char* format, ...) {
  std::string text;
  std::va_list args;
  va_start(args, format);
  vappendf(text, format, args);
  va_end(args);
  sink_.write(stream::out, text);
}

void diagnostics::emit(diagnostic& message, bool counted) {
  if (message.level == severity::warning && entry_of(message.id).start == prefix::warning) {
    // The warnings that were asked for: shown with -W, errors when fatal.
    if (!warnings_shown_) return;
    ++warnings_;
    counted = warnings_fatal_;
  } else if (message.level == severity::warning) {
    ++warnings_;
  }
  if (counted) ++errors_;
  if (form_ != diagnostic_form::classic) {
    message.out.clear();
    message.err = form_ == diagnostic_form::gnu ? gnu_form(message) : json_form(message);
  }
  sink_.report(message);
}

namespace {

const char* severity_word(severity level) {
  switch (level) {
    case severity::error: return "error";
    case severity::warning: return "warning";
    case severity::note: return "note";
  }
  return "error";
}

}  // namespace

std::string gnu_form(const diagnostic& message) {
  std::string line;
  if (message.file.empty()) {
    line = "zr17_asm";
  } else {
    line = message.file;
    if (message.line != 0) appendf(line, ":%d", message.line);
    if (message.line != 0 && message.column != 0) appendf(line, ":%d", message.column);
  }
  line += ": ";
  line += severity_word(message.level);
  line += ": ";
  line += message.text;
  line += message.detail;
  line += '\n';
  return line;
}

std::string json_form(const diagnostic& message) {
  nlohmann::ordered_json object = {
      {"severity", severity_word(message.level)},
      {"file", message.file},
      {"line", message.line},
      {"column", message.column},
      {"end", {{"line", message.line}, {"column", message.end_column}}},
      {"id", message_name(message.id)},
      {"text", message.text + message.detail},
  };
  // Source text may hold any bytes; what is not UTF-8 is replaced.
  return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
