// Names of the output files: beside the source, after its base name.
#pragma once

#include <string>

#include "core/run_context.h"

/// The source's file name without its last "." and what follows it; the
/// whole name when it has no ".".
std::string output_base_name(const source_path& source);

/// The output file with the given suffix (".hex", "_sim.hex", ...): in the
/// source's directory, or the current one when the path had no directory.
std::string output_file_name(const source_path& source, const char* suffix);
