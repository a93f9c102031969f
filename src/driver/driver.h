// The command line and the run sequence of one assembly: the library's
// entry point, called by main, the tests and the fuzzers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "core/run_context.h"
#include "platform/disk.h"

/// What a run leaves: its exit status, its error count, and the run itself
/// (the final program and symbols) when the command line asked for one.
struct assembly {
  int status = 0;
  int errors = 0;
  std::unique_ptr<run_context> run;
};

/// Runs the assembler on a command line (without the program name), reading
/// and writing files through `disk` and printing through `sink`. Runs share
/// nothing, so several may go on at once.
assembly assemble(const std::vector<std::string>& args, disk_interface& disk,
                  diagnostic_sink& sink);

/// What a run does after the jump optimisation: write the output files, or
/// (the language server) only place the program, for the messages that
/// placing it gives, and write nothing.
enum class run_outputs { write, check_only };
assembly assemble(const std::vector<std::string>& args, disk_interface& disk,
                  diagnostic_sink& sink, run_outputs outputs);

/// Opens the main source and runs the parser over it; returns only when the
/// parse counted no error.
void parse(run_context& run, const std::string& path);
