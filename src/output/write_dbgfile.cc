#include "output/write_dbgfile.h"

#include "core/program.h"
#include "output/text_format.h"
#include "output/output_file.h"
#include "output/output_names.h"

void write_dbgfile(run_context& run) {
  const opcode_node& start_opcode = run.prog.start_opcode;
  output_writer out(run, output_file_name(run, ".dbg"));
  std::string& text = out.text;
  text += file_header("Downloadable DBG-File for ZR17", nullptr);
  if (start_opcode.next != nullptr) {
    const opcode_node* node = &start_opcode;
    do {
      // "%04X: %d %s\n"
      append_hex(text, static_cast<unsigned>(node->address), 4);
      text += ": ";
      append_dec(text, node->line);
      text += ' ';
      text += node->file;
      text += '\n';
      out.flush_if_full();
      node = node->next;
    } while (node != &start_opcode);
    text += "\n\n";
  }
  out.finish();
}
