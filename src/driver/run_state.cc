#include "driver/run_state.h"

#include <cstdio>

#include "driver/model.h"
#include "parser/parser.h"
#include "parser/symtab.h"
#include "scanner/scanner.h"

int err_cnt = 0;
const char* inst_const = nullptr;
char sep_char = '\\';
std::string inpFilePath;
std::string inpFileName;
char inpFileSep = 0;
std::string exePath;
std::string parseFile;

void fatal_error(int status, const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", message.c_str());
  throw fatal_exit{status};
}

void reset_run_state() {
  err_cnt = 0;
  sep_char = '\\';
  inpFilePath.clear();
  inpFileName.clear();
  inpFileSep = 0;
  exePath.clear();
  parseFile.clear();
  reset_model();
  symtab_reset();
  scanner_reset();
  parser_reset();
}
