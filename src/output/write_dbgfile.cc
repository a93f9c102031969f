#include "output/write_dbgfile.h"

#include "driver/model.h"
#include "output/appendf.h"
#include "output/output_file.h"
#include "output/output_names.h"

void write_dbgfile() {
  std::string text = file_header("Downloadable DBG-File for ZR17", nullptr);
  if (start_opcode.next != nullptr) {
    const opcode_node* node = &start_opcode;
    do {
      appendf(text, "%04X: %d %s\n", node->address, node->line, node->file);
      node = node->next;
    } while (node != &start_opcode);
    text += "\n\n";
  }
  write_output_file(output_file_name(".dbg"), text);
}
