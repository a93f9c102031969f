#include "output/write_objfile.h"

#include "driver/model.h"
#include "output/appendf.h"
#include "output/output_file.h"
#include "output/output_names.h"
#include "platform/disk.h"

void write_objfile() {
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
  write_output_file(output_file_name(".obj"), text);
}

void write_eeprom_file() {
  const std::string path = output_file_name(".epr");
  bool any_used = false;
  for (unsigned char used : eeprom_used_cells) any_used = any_used || used == 1;
  if (!any_used) {
    // Only a stale image goes; a source of that name stays.
    if (!disk().same_file(path, source_file_name())) disk().remove_file(path);
    return;
  }
  std::string text = file_header("Downloadable Hex-File for ZR17", nullptr);
  for (int cell = 0; cell < EEPROM_SIZE; ++cell) {
    appendf(text, "%02X: %02X \n", cell, eeprom_cells[cell]);
  }
  text += "\n\n";
  write_output_file(path, text);
}
