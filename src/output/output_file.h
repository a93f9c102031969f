// What the output files share: their comment header and how they are written.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "core/run_context.h"
#include "platform/disk.h"

/// The five header lines of the hex, EEPROM and debug files, with the empty
/// line after them. `version` is placed after "Assembler" when given.
std::string file_header(const char* title, const char* version);

/// Writes (or replaces) an output file; a file that cannot be created, or
/// that is the main source itself, is reported and counted as an error.
void write_output_file(run_context& run, const std::string& path, const std::string& text);

/// An output file written while its text is made: the text gathers in
/// `text` and goes to the disk in pieces, so that a big file is never held
/// whole. What write_output_file refuses and reports, finish() does.
class output_writer {
 public:
  output_writer(run_context& run, std::string path);
  output_writer(const output_writer&) = delete;
  output_writer& operator=(const output_writer&) = delete;

  /// The text not written yet: append to it, then call flush_if_full().
  std::string text;
  void flush_if_full() {
    if (text.size() >= CHUNK) flush();
  }
  /// Writes the rest and puts the file in place, or reports why not.
  void finish();

 private:
  static constexpr std::size_t CHUNK = std::size_t{64} << 10;
  void flush();

  run_context& run_;
  std::string path_;
  bool over_source_ = false;  ///< the path names the main source
  std::unique_ptr<output_stream> stream_;  ///< null when it cannot be written
};
