// GLUE: the scanner's ties to the run. Nothing else in src/scanner reaches
// outside the scanner object.
#include "scanner/scanner_glue.h"

#include <cerrno>
#include <cstring>


// --- the disk and the run ---

std::unique_ptr<source_reader> scanner_glue::open_source(const std::string& path,
                                                         std::string& reason) {
  return run_.disk.open_source(path, reason);
}

const std::string& scanner_glue::library_root() { return run_.working_directory; }

const std::vector<std::string>& scanner_glue::predefined() const { return run_.options.defines; }

const std::vector<std::string>& scanner_glue::include_dirs() const {
  return run_.options.include_dirs;
}

void scanner_glue::warn(message_id id, const char* file, int line, const char* argument) {
  run_.diag.report(id, file, line, argument);
}

char* scanner_glue::keep(std::string_view text) { return run_.prog.copy_string(text); }

void scanner_glue::set_current_file(const char* name) { run_.current_file = name; }

line_log* scanner_glue::listing_lines() { return run_.lines ? &*run_.lines : nullptr; }

void scanner_glue::include_opened(const std::string& path) {
  run_.included_sources.push_back(path);
}

int scanner_glue::error_count() { return run_.diag.error_count(); }

bool scanner_glue::find_constant(const char* name, std::int32_t& value) {
  sym_ref* ref = run_.symbols.find_symbol_ref(name, REF_CONST);
  if (ref == nullptr) return false;
  auto* constant = static_cast<const_node*>(ref->record);
  value = constant != nullptr ? constant->value : 0;
  if (constant != nullptr) ++constant->uses;
  run_.inst_const = run_.prog.copy_string(name);
  return true;
}

// --- messages ---

void scanner_glue::bad_character(const char* file, int line, int column, char c) {
  run_.diag.report_bad_character(file, line, column, c);
}

void scanner_glue::fraction_out_of_range(const char* file, int line, int column) {
  run_.diag.report_at(message_id::float_out_of_range, file, line, column);
}

void scanner_glue::unterminated_comment(const char* file, int line) {
  run_.diag.report(message_id::unterminated_comment, file, line);
}

void scanner_glue::bad_include_line(const char* file, int line) {
  run_.diag.report(message_id::bad_include_line, file, line, file, line);
}

void scanner_glue::cannot_open(const char* file, int line, const std::string& path,
                               const std::string& reason) {
  run_.diag.report(message_id::include_not_opened, file, line, path.c_str(), reason.c_str());
}

void scanner_glue::include_recursion(const char* file, int line) {
  run_.diag.report(message_id::include_recursion, file, line);
}

void scanner_glue::fatal(const char* file, int line, const char* what) {
  std::string message = what;
  if (file != nullptr) {
    message = std::string(file) + ":" + std::to_string(line) + ": Fatal error: " + message;
  } else {
    message = "Fatal error: " + message;
  }
  run_.diag.report_fatal(message);
  throw fatal_exit{2};
}

void scanner_glue::read_error(const char* file) {
  run_.diag.report_fatal(std::string(file) + ": read error on the source file");
  throw fatal_exit{2};
}

void scanner_glue::out_of_memory() {
  run_.diag.report(message_id::include_not_opened, nullptr, 0, "malloc", std::strerror(ENOMEM));
  throw fatal_exit{1};
}
