// Process-wide state of one assembly run, and how a run ends early.
#pragma once

#include <string>

/// The global error counter: every reported problem adds one.
extern int err_cnt;
/// Name of the last constant token the scanner produced (null until one).
extern const char* inst_const;

/// Path separator written by default; POSIX builds also split at '/'.
extern char sep_char;
/// Directory part of the command-line path, or the whole path without one.
extern std::string inpFilePath;
/// File-name part of the command-line path.
extern std::string inpFileName;
/// The separator at which the command-line path was cut; 0 when it had none.
extern char inpFileSep;
/// Working directory at start; the angled includes' library sits below it.
extern std::string exePath;
/// Path of the source handed to the parser.
extern std::string parseFile;

/// Thrown to end the run at once; main returns `status`.
struct fatal_exit {
  int status;
};

/// Prints one line to standard error and ends the run with `status`.
[[noreturn]] void fatal_error(int status, const std::string& message);

/// Puts every subsystem back into its start-up state, so that one process
/// can assemble many programs.
void reset_run_state();
