// The error lines of the front end: "<file> Line <n> ERROR: <message>".
#pragma once

#include <cstdarg>

/// Prints the error prefix for `line` of the current source (none for line
/// 0), the formatted message and a line break, and counts one error.
void report_error(int line, const char* format, ...);
void vreport_error(int line, const char* format, std::va_list args);
