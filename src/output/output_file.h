// What the output files share: their comment header and how they are written.
#pragma once

#include <string>

#include "core/run_context.h"

/// The five header lines of the hex, EEPROM and debug files, with the empty
/// line after them. `version` is placed after "Assembler" when given.
std::string file_header(const char* title, const char* version);

/// Writes (or replaces) an output file; a file that cannot be created, or
/// that is the main source itself, is reported and counted as an error.
void write_output_file(run_context& run, const std::string& path, const std::string& text);
