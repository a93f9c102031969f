#include "output/program_image.h"

#include "core/program.h"
#include "output/encode.h"

int program_image::highest_used() const {
  for (int address = IMAGE_SIZE - 1; address >= 0; --address) {
    if (cells[address].used) return address;
  }
  return -1;
}

void append_cell_comment(std::string& text, const image_cell& cell) {
  if (cell.statement == nullptr) {
    text += "unused";
  } else {
    append_hex_string(text, cell.statement, cell.form, cell.suffix);
  }
}

namespace {

/// Places one statement; false when placement has to end here. `code` is
/// room for its encoding.
bool place_statement(run_context& run, program_image& image, const opcode_node* node,
                     encoding& code) {
  encode(node, code);
  if (!code.known) {
    run.diag.report(message_id::hex_opcode_not_found, nullptr, 0);
    return true;
  }
  const int count = static_cast<int>(code.bytes.size());
  // Bytes that would lie past the end of memory have no cell to go to.
  for (int i = 0; i < count; ++i) {
    const int address = node->address + i;
    if (address < 0 || address >= IMAGE_SIZE) continue;
    image_cell& cell = image.cells[address];
    cell.value = code.bytes[i];
    cell.statement = node;
    cell.form = static_cast<std::uint8_t>(code.form);
    cell.suffix = static_cast<std::uint8_t>(count - 1 - i);
  }
  for (int i = 0; i < count; ++i) {
    const int address = node->address + i;
    if (address < 0 || address >= IMAGE_SIZE) continue;
    if (image.cells[address].used) {
      run.diag.report(message_id::address_conflict, node->file, node->line);
      break;
    }
    image.cells[address].used = true;
  }
  if (node->address + node->size > IMAGE_SIZE) {
    run.diag.report(message_id::program_too_large, node->file, node->line);
    return false;
  }
  return true;
}

}  // namespace

void place_program(run_context& run, program_image& image) {
  const opcode_node& start_opcode = run.prog.start_opcode;
  if (start_opcode.next == nullptr) return;
  encoding code;
  const opcode_node* node = &start_opcode;
  do {
    if (!place_statement(run, image, node, code)) return;
    node = node->next;
  } while (node != &start_opcode);
}
