#pragma once

#include "core/run_context.h"
/// Writes the debug file: one line per statement.
void write_dbgfile(run_context& run);
