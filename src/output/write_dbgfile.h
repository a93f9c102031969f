#pragma once
/// Writes the debug file: one line per statement.
void write_dbgfile();
