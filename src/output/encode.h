// Instruction encoding: the bytes of one statement and the comment text of
// each byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct opcode_node;

struct encoding {
  bool known = false;  ///< false for ids that have no encoding
  std::vector<std::uint8_t> bytes;
  int form = 0;  ///< how many operand values the comments show (0..3)
};

/// The bytes of a checked and laid-out statement, in address order.
encoding encode(const opcode_node* node);
/// The same into `out`, whose byte array is reused: no allocation per
/// statement when placing a whole program.
void encode(const opcode_node* node, encoding& out);

/// The comment of the byte whose suffix is `suffix` (size - 1 at the first
/// byte, counting down to 0 at the last).
std::string get_hex_string(const opcode_node* node, int form, int suffix);
/// The same comment appended to `text`.
void append_hex_string(std::string& text, const opcode_node* node, int form, int suffix);
