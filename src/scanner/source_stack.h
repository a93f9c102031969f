// The stack of open sources behind the scanner: the main source at the
// bottom, one more entry for each include directive being read.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "core/run_context.h"
#include "platform/disk.h"

/// Name of the source being read; messages print it and records keep it.
extern const char* curfilename;

/// Makes the main source the bottom entry, with a private copy of its name.
void push_main_source(run_context& run, std::unique_ptr<source_reader> stream,
                      const std::string& path);

/// Opens an included source and makes it current. Returns 0 when it cannot
/// be opened or is open already (both reported and counted; a recursion is
/// reported at `directive_line` of the including source), else 1.
int newfile(run_context& run, const std::string& path, int directive_line);

/// Closes the current source and resumes the one that included it; returns
/// 0 and changes nothing when the current source is the main one.
int popfile();

/// Fills the scanner's buffer from the current source: the byte count, 0 at
/// its end. A read error ends the run (status 2).
std::size_t read_current_source(run_context& run, char* buffer, std::size_t max);

/// Closes the main source's stream; its name stays valid.
void close_main_source();

/// Closes every source and releases every buffer.
void source_stack_reset();
