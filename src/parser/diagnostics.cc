#include "parser/diagnostics.h"

#include <cstdio>

#include "driver/run_state.h"
#include "scanner/scanner.h"

void vreport_error(int line, const char* format, std::va_list args) {
  if (line != 0) std::printf("%s Line %d ERROR: ", curfilename, line);
  std::vprintf(format, args);
  std::putchar('\n');
  ++err_cnt;
}

void report_error(int line, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  vreport_error(line, format, args);
  va_end(args);
}
