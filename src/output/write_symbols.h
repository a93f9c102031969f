// The symbol file: every constant and jump label with its value, sorted by
// name, with no date, so that two builds of one source give one file.
#pragma once

#include <string>

#include "core/run_context.h"

/// The symbol file's text for the program as it stands.
std::string symbols_text(const run_context& run);

/// Writes the symbol file to `path`.
void write_symbols(run_context& run, const std::string& path);
