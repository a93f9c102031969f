#include "driver/driver.h"

#include <cstdio>
#include <new>

#include "check/check_opcode.h"
#include "driver/model.h"
#include "driver/opcode_table.h"
#include "driver/paths.h"
#include "driver/run_state.h"
#include "layout/check_jump.h"
#include "output/write_dbgfile.h"
#include "output/write_hexfile.h"
#include "parser/parser.h"
#include "platform/disk.h"
#include "scanner/scanner.h"
#include "zr17_version.h"

namespace {

void showHelp() {
  std::fputs(
      "\n----------------------------------------------------"
      "\n--- ZR17 Assembler,     tessaro instrument works ---"
      "\n--- ONLINE HELP                                  ---"
      "\n----------------------------------------------------\n\n"
      "Call: zr17_asm.exe <Options> <File...>"
      "\n1st-path-assembler, processes user assembler code to ZR17 instruction code"
      "\n\nFiles:"
      "\n\tAny ASCII-file which meets ZR17 user assembler constraints, like:"
      "\n\t<OPCODE> [ <PARAMETER> , <PARAMETER>, ... ]"
      "\n\tBy default, the file extension *.asm is assigned to zr17_asm"
      "\n\nOptions:"
      "\n\t/?\t\tshow help"
      "\n\t--help\t\tshow help"
      "\n\t-v\t\tshow version"
      "\n\nExamples:"
      "\n\tzr_17_asm.exe  -->  call without arguments, stdin is used as source"
      "\n\tzr_17_asm.exe mycode.asm   --> call the assembler with the file 'mycode.asm'"
      "\n\nExit-Codes:"
      "\n\tEXIT 0\t\t Programm executed successfully"
      "\n\tall others:\t Program execution had errors."
      "\n\t           \t Please see 'Exit Codes' list"
      "\n\tThe exit code equals the return value of the application"
      "\n\nSyntax help:"
      "\n\tSingle line comment:\t;"
      "\n\tMultiple line comment:\t<COMMENT> ... <ENDCOMMENT>"
      "\n\tIncluding files:\t#include \"filename.h\""
      "\n\tConstant declaration:\tCONST myConstant 20"
      "\n\tNumber formatting:\tdecimal or hexadecimal, e.g.:  20  or 0x16"
      "\n\tCall subroutines:\t'jsub <label>'  and 'jsubret' to jump back"
      "\n\tAssembler opcodes:\tplease see table 'User Assembler Opcodes'",
      stdout);
}

void showVersion() { std::printf("ZR17 Assembler v%s\n", zr17_version); }

/// The command-line path again: the bare argument, or directory and name
/// joined at the separator they were cut at.
std::string input_path() {
  if (inpFileSep == 0) return inpFilePath;
  return join_path(inpFilePath, inpFileSep, inpFileName);
}

/// The first statement must be ORG 0; an empty program names the main source.
void check_org_rule(const std::string& main_path) {
  if (start_opcode.next == nullptr) {
    std::printf("%s Line %d ERROR: First opcode must be preceded by an ORG 0 directive\n",
                main_path.c_str(), 0);
    ++err_cnt;
    return;
  }
  if (start_opcode.opcode != OP_ORG || start_opcode.p1_value.num != 0) {
    std::printf("%s Line %d ERROR: First opcode must be preceded by an ORG 0 directive\n",
                start_opcode.file, start_opcode.line);
    ++err_cnt;
  }
}

int assemble(const std::string& argument) {
  std::fputs("--- ZR17 Assembler,          tessaro instrument works ---\n", stdout);
  split_path_result parts = split_path(argument);
  inpFileSep = parts.sep;
  inpFilePath = parts.sep == 0 ? argument : parts.dir;
  inpFileName = parts.name;
  exePath = disk().working_directory();
  parseFile = input_path();

  parse(parseFile);
  check_org_rule(argument);
  if (err_cnt == 0) check_opcode();
  if (err_cnt == 0) check_jump();
  if (err_cnt == 0) {
    write_hexfile();
    write_dbgfile();
  }
  parseFile = input_path();
  if (err_cnt == 0) {
    std::printf("INFO: %s: Processing was successful\n", parseFile.c_str());
    return 0;
  }
  std::printf("INFO: %s: Processing failed, with %d error(s)\n", parseFile.c_str(), err_cnt);
  return 1;
}

}  // namespace

void parse(const std::string& path) {
  err_cnt = 0;
  std::string reason;
  std::unique_ptr<source_reader> source = disk().open_source(path, reason);
  if (source == nullptr) {
    std::printf("Error: Could not open file '%s'\n", path.c_str());
    throw fatal_exit{1};
  }
  scanner_set_main_source(std::move(source), path);
  int result = yyparse();
  if (result != 0 || err_cnt > 0) {
    std::puts("Info: Could not parse file");
    throw fatal_exit{1};
  }
  scanner_close_main_source();
}

int run_assembler(const std::vector<std::string>& args) {
  reset_run_state();
  try {
    if (args.empty()) {
      std::fputs("USAGE: zr17_asm.exe <file>\n", stdout);
      return 0;
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "/?")) {
      showHelp();
      return 0;
    }
    if (args.size() == 1 && args[0] == "-v") {
      showVersion();
      return 0;
    }
    return assemble(args[0]);
  } catch (const fatal_exit& end) {
    std::fflush(stdout);
    return end.status;
  } catch (const std::bad_alloc&) {
    // Records are never given back during a run, so an exhausted heap ends it.
    std::puts("ERROR: memory could not be allocated");
    std::fflush(stdout);
    return 1;
  }
}
