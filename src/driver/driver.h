// The command line and the run sequence of one assembly.
#pragma once

#include <string>
#include <vector>

/// Runs the assembler on a command line (without the program name) and
/// returns the exit status. The run state is reset first, so that one process
/// can call it many times.
int run_assembler(const std::vector<std::string>& args);

/// Opens the main source and runs the parser over it; returns only when the
/// parse counted no error.
void parse(const std::string& path);
