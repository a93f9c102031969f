// The scanner's interface to the driver and the parser.
#pragma once

#include <memory>
#include <string>

#include "core/run_context.h"
#include "platform/disk.h"

/// Hands the opened main source to the scanner; its first call takes it over.
void scanner_set_main_source(run_context& run, std::unique_ptr<source_reader> source,
                             const std::string& path);
/// Closes the main source after a successful parse.
void scanner_close_main_source();
/// Forgets every open source, definition and counter of an earlier run.
void scanner_reset();

/// The next token; its value is left in yylval and its location in yylloc.
int yylex();

/// Name of the source being read; messages print it and records keep it.
extern const char* curfilename;
