#include "output/program_image.h"

#include <cstdio>

#include "driver/model.h"
#include "driver/run_state.h"
#include "output/encode.h"

int program_image::highest_used() const {
  for (int address = IMAGE_SIZE - 1; address >= 0; --address) {
    if (cells[address].used) return address;
  }
  return -1;
}

namespace {

/// Places one statement; false when placement has to end here.
bool place_statement(program_image& image, const opcode_node* node) {
  const encoding code = encode(node);
  if (!code.known) {
    std::fputs("hex file: opcode not found!!!", stdout);
    return true;
  }
  const int count = static_cast<int>(code.bytes.size());
  // Bytes that would lie past the end of memory have no cell to go to.
  for (int i = 0; i < count; ++i) {
    const int address = node->address + i;
    if (address < 0 || address >= IMAGE_SIZE) continue;
    image.cells[address].value = code.bytes[i];
    image.cells[address].comment = get_hex_string(node, code.form, count - 1 - i);
  }
  for (int i = 0; i < count; ++i) {
    const int address = node->address + i;
    if (address < 0 || address >= IMAGE_SIZE) continue;
    if (image.cells[address].used) {
      std::printf("%s Line %d ERROR: Address assignment conflict, please check ORG directive\n",
                  node->file, node->line);
      ++err_cnt;
      break;
    }
    image.cells[address].used = true;
  }
  if (node->address + node->size > IMAGE_SIZE) {
    std::printf("%s Line %d  ERROR: program exceeds maximum size of 64k bytes\n", node->file,
                node->line);
    ++err_cnt;
    return false;
  }
  return true;
}

}  // namespace

void place_program(program_image& image) {
  if (start_opcode.next == nullptr) return;
  const opcode_node* node = &start_opcode;
  do {
    if (!place_statement(image, node)) return;
    node = node->next;
  } while (node != &start_opcode);
}
