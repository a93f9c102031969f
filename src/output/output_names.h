// Names of the output files: beside the source, after its base name.
#pragma once

#include <string>

/// The source's file name without its last "." and what follows it; the
/// whole name when it has no ".".
std::string output_base_name();

/// The output file with the given suffix (".hex", "_sim.hex", ...): in the
/// source's directory, or the current one when the path had no directory.
std::string output_file_name(const char* suffix);

/// The main source as the command line named it, to keep outputs off it.
std::string source_file_name();
