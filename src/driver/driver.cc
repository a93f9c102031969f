#include "driver/driver.h"

#include <new>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "check/check_opcode.h"
#include "core/paths.h"
#include "driver/command_line.h"
#include "core/opcode_table.h"
#include "layout/check_jump.h"
#include "output/write_dbgfile.h"
#include "output/output_names.h"
#include "output/program_image.h"
#include "output/write_deps.h"
#include "output/write_hexfile.h"
#include "output/write_listing.h"
#include "output/write_symbols.h"
#include "parser/actions.h"
#include "parser/parser.h"
#include "scanner/lexer.h"
#include "zr17_version.h"

namespace {

/// The help text; its odd spellings are what users have always seen.
void showHelp(diagnostics& diag) {
  diag.write(stream::out,
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
      "\n\tAssembler opcodes:\tplease see table 'User Assembler Opcodes'");
}

void showVersion(diagnostics& diag) { diag.printf("ZR17 Assembler v%s\n", zr17_version); }

/// The first statement must be ORG 0; an empty program names the main source.
void check_org_rule(run_context& run, const std::string& main_path) {
  const opcode_node& first = run.prog.start_opcode;
  if (first.next == nullptr) {
    run.diag.report(message_id::org_rule, main_path.c_str(), 0);
    return;
  }
  // A label operand holds its name, never the value 0.
  if (first.opcode != OP_ORG || first.p1_value.num != 0 || first.p1_kind == PARAM_LABEL) {
    run.diag.report(message_id::org_rule, first.file, first.line);
  }
}

/// With -W: jump labels that no jump or call names.
void warn_unused_labels(run_context& run) {
  const program& prog = run.prog;
  if (prog.start_jumplabel.next == nullptr) return;
  std::unordered_set<std::string_view> used;
  if (prog.start_opcode.next != nullptr) {
    const opcode_node* node = &prog.start_opcode;
    do {
      for (const auto& [kind, value] : {std::pair{node->p1_kind, node->p1_value},
                                        std::pair{node->p2_kind, node->p2_value},
                                        std::pair{node->p3_kind, node->p3_value}}) {
        if (kind == PARAM_LABEL && value.name != nullptr) used.insert(value.name);
      }
      node = node->next;
    } while (node != &prog.start_opcode);
  }
  const jumplabel_node* label = &prog.start_jumplabel;
  do {
    if (!used.contains(label->name)) {
      run.diag.report(message_id::unused_label, label->file, label->line, label->name);
    }
    label = label->next;
  } while (label != &prog.start_jumplabel);
}

/// With -W: constants that the source never reads.
void warn_unused_constants(run_context& run) {
  const program& prog = run.prog;
  if (prog.start_const.next == nullptr) return;
  const const_node* constant = &prog.start_const;
  do {
    if (constant->uses == 0) {
      run.diag.report(message_id::unused_constant, constant->file, constant->line,
                      constant->name);
    }
    constant = constant->next;
  } while (constant != &prog.start_const);
}

/// The listing when one is asked for and the main source was read.
void write_listing_if_asked(run_context& run, bool laid_out) {
  const auto& listing = run.options.listing;
  if (!listing || !run.lines || run.lines->sources().empty()) return;
  write_listing(run, listing->empty() ? output_file_name(run, ".lst") : *listing, laid_out);
}

/// The outputs that options ask for, beside the usual ones.
void write_requested_files(run_context& run) {
  write_listing_if_asked(run, true);
  if (const auto& symbols = run.options.symbols) {
    write_symbols(run, symbols->empty() ? output_file_name(run, ".sym") : *symbols);
  }
  // Last: it names every file written before it.
  if (const auto& deps = run.options.deps) write_deps(run, *deps);
}

int assemble_source(run_context& run, const std::string& argument, run_outputs outputs) {
  run.diag.write(stream::out, "--- ZR17 Assembler,          tessaro instrument works ---\n");
  // Reproducible builds: a time stamp that cannot be read is a mistake to
  // report, not a reason to fall back on the clock.
  if (const epoch_setting epoch = source_date_epoch(); epoch.state == epoch_setting::invalid) {
    run.diag.report(message_id::bad_source_date_epoch, nullptr, 0, epoch.text.c_str());
    return 1;
  }
  for (const std::string& ignored : run.options.ignored_args) {
    run.diag.report(message_id::ignored_argument, nullptr, 0, ignored.c_str());
  }
  split_path_result parts = split_path(argument);
  run.source.sep = parts.sep;
  run.source.dir = parts.sep == 0 ? argument : parts.dir;
  run.source.name = parts.name;
  run.working_directory = run.disk.working_directory();

  if (run.options.listing && outputs == run_outputs::write) run.lines.emplace();
  // A run that fails still writes the listing, with what it knows: the
  // addresses only once the jump optimisation has fixed them.
  try {
    parse(run, run.source.full());
    if (run.options.warnings) warn_unused_constants(run);
    check_org_rule(run, argument);
    if (run.diag.error_count() == 0) {
      check_opcode(run);
      if (run.options.warnings) warn_unused_labels(run);
    }
    if (run.diag.error_count() == 0) check_jump(run);
  } catch (const fatal_exit&) {
    write_listing_if_asked(run, false);
    throw;
  }
  if (run.diag.error_count() == 0 && outputs == run_outputs::check_only) {
    program_image image;
    place_program(run, image);
  } else if (run.diag.error_count() == 0) {
    write_hexfile(run);
    write_dbgfile(run);
    write_requested_files(run);
  } else {
    write_listing_if_asked(run, false);
  }
  const std::string path = run.source.full();
  if (run.diag.error_count() == 0) {
    run.diag.printf("INFO: %s: Processing was successful\n", path.c_str());
    return 0;
  }
  run.diag.printf("INFO: %s: Processing failed, with %d error(s)\n", path.c_str(),
                  run.diag.error_count());
  return 1;
}

}  // namespace

void parse(run_context& run, const std::string& path) {
  std::string reason;
  std::unique_ptr<source_reader> source = run.disk.open_source(path, reason);
  if (source == nullptr) {
    run.diag.report_detailed(message_id::source_not_opened, path.c_str(), 0, 0, ": " + reason,
                             path.c_str());
    throw fatal_exit{1};
  }
  scanner lexer{scanner_glue(run)};
  lexer.set_main_source(std::move(source), path);
  statement_builder build(run);
  int result = 0;
  try {
    result = yyparse(build, lexer);
  } catch (const fatal_exit&) {
    lexer.flush_line_log();
    throw;
  }
  lexer.flush_line_log();
  if (result != 0 || run.diag.error_count() > 0) {
    run.diag.write(stream::out, "Info: Could not parse file\n");
    throw fatal_exit{1};
  }
  lexer.close_main_source();
}

assembly assemble(const std::vector<std::string>& args, disk_interface& disk,
                  diagnostic_sink& sink) {
  return assemble(args, disk, sink, run_outputs::write);
}

assembly assemble(const std::vector<std::string>& args, disk_interface& disk,
                  diagnostic_sink& sink, run_outputs outputs) {
  assembly result;
  result.run = std::make_unique<run_context>(disk, sink);
  run_context& run = *result.run;
  command_line line;
  try {
    line = parse_command_line(args, disk);
  } catch (const usage_error& error) {
    run.diag.write(stream::err, "zr17_asm: " + error.message + "\n");
    result.status = 2;
    return result;
  }
  run.options = line.options;
  run.diag.configure(run.options.diagnostics, run.options.warnings,
                     run.options.fatal_warnings);
  try {
    switch (line.what) {
      case command_line::action::usage:
        run.diag.write(stream::out, "USAGE: zr17_asm.exe <file>\n");
        break;
      case command_line::action::help: showHelp(run.diag); break;
      case command_line::action::version: showVersion(run.diag); break;
      case command_line::action::assemble:
        result.status = assemble_source(run, line.source, outputs);
        break;
    }
  } catch (const fatal_exit& end) {
    result.status = end.status;
  } catch (const symbol_table_overflow& overflow) {
    run.diag.report_fatal(overflow.message);
    result.status = 1;
  } catch (const std::bad_alloc&) {
    // Records are never given back during a run, so an exhausted heap ends it.
    run.diag.report(message_id::out_of_memory, nullptr, 0);
    result.status = 1;
  }
  result.errors = run.diag.error_count();
  return result;
}
