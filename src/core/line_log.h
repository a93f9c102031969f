// The source lines one run read, in reading order through included files:
// what a listing shows beside the addresses and bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// Kept only when a listing is asked for. The scanner opens a source entry
/// each time it enters a file (a file included twice gets two), hands it
/// every byte it reads from it, and logs each line once it reaches it, so a
/// line is logged before the lines of a file it includes.
class line_log {
 public:
  struct source {
    const char* name;  ///< as messages name it; lives as long as the program
    std::string text;  ///< every byte read, which may run past the last line logged
  };
  struct line {
    std::uint32_t source;  ///< index into sources()
    std::uint32_t number;  ///< from 1
    /// Skipped by conditional assembly from its start to its end; the lines
    /// with the "#ifdef", "#else" or "#endif" that start or end a skipped
    /// part are not.
    bool skipped;
  };

  std::uint32_t open_source(const char* name);
  void add_text(std::uint32_t source, std::string_view bytes) { sources_[source].text += bytes; }
  /// Logs the next line reached; returns its index in lines().
  std::size_t add_line(std::uint32_t source, std::uint32_t number, bool skipped);
  /// The line where skipping ends holds text that is read.
  void mark_read(std::size_t line) { lines_[line].skipped = false; }
  /// The line of the next instruction word. A parse without errors builds
  /// one statement per word, numbered in this order.
  void add_statement(std::size_t line) { statements_.push_back(line); }

  const std::vector<source>& sources() const { return sources_; }
  const std::vector<line>& lines() const { return lines_; }
  /// The line index of statement `number`, or npos when none was logged.
  std::size_t statement_line(std::size_t number) const {
    return number < statements_.size() ? statements_[number] : npos;
  }

  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

 private:
  std::vector<source> sources_;
  std::vector<line> lines_;
  std::vector<std::size_t> statements_;
};
