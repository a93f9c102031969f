#include "output/write_objfile.h"

#include "core/program.h"
#include "core/appendf.h"
#include "output/output_file.h"
#include "output/output_names.h"

void write_objfile(run_context& run) {
  const opcode_node& start_opcode = run.prog.start_opcode;
  std::string text = ";\tJUMPLABEL Declarations\n";
  if (start_opcode.next != nullptr) {
    const opcode_node* node = &start_opcode;
    do {
      if (node->label != nullptr) {
        appendf(text, "CONST\t%s\t0x%04x\t; %d\n", node->label->name, node->address,
                node->address);
      }
      node = node->next;
    } while (node != &start_opcode);
  }
  text += "\n\n";
  write_output_file(run, output_file_name(run.source, ".obj"), text);
}

void write_eeprom_file(run_context& run) {
  const std::string path = output_file_name(run.source, ".epr");
  bool any_used = false;
  for (unsigned char used : run.prog.eeprom_used_cells) any_used = any_used || used == 1;
  if (!any_used) {
    // Only a stale image goes; a source of that name stays.
    if (!run.disk.same_file(path, run.source.full())) run.disk.remove_file(path);
    return;
  }
  std::string text = file_header("Downloadable Hex-File for ZR17", nullptr);
  for (int cell = 0; cell < EEPROM_SIZE; ++cell) {
    appendf(text, "%02X: %02X \n", cell, run.prog.eeprom_cells[cell]);
  }
  text += "\n\n";
  write_output_file(run, path, text);
}
