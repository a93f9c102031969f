#include "output/encode.h"

#include "core/program.h"
#include "core/opcode_table.h"
#include "output/text_format.h"

namespace {

std::uint8_t low(std::int64_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

/// Address of the statement that a label operand designates.
int target_address(const param_value& value) {
  return value.target != nullptr ? value.target->address : 0;
}

/// The offset byte of a short jump: the distance from that byte to the target.
std::uint8_t offset(const opcode_node* node, const param_value& target) {
  return low(static_cast<std::int64_t>(target_address(target)) - node->address - node->size + 1);
}

void push_word32(std::vector<std::uint8_t>& bytes, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  bytes.push_back(low(bits >> 24));
  bytes.push_back(low(bits >> 16));
  bytes.push_back(low(bits >> 8));
  bytes.push_back(low(bits));
}

}  // namespace

encoding encode(const opcode_node* node) {
  encoding out;
  encode(node, out);
  return out;
}

void encode(const opcode_node* node, encoding& out) {
  out.known = false;
  out.bytes.clear();
  out.form = 0;
  if (node->opcode < 0 || node->opcode >= OPCODE_COUNT) return;
  const opcode_info& row = opcode_row(node->opcode);
  const encoding_spec& e = row.encoding;
  std::vector<std::uint8_t>& b = out.bytes;
  const int r = node->p1_value.num;
  const int s = node->p2_value.num;
  const std::int32_t v1 = node->p1_value.num;
  const std::int32_t v2 = node->p2_value.num;
  // Rows with two sizes have a form per size; the statement's size chooses.
  const bool short_form = node->size == row.size.a;
  out.known = e.layout != shape::none;
  out.form = short_form ? row.comment.a : row.comment.b;
  if (e.prefix != NO_PREFIX && e.layout != shape::shift) b.push_back(low(e.prefix));

  switch (e.layout) {
    case shape::none: break;
    case shape::op: b.push_back(e.b1); break;
    case shape::op_r: b.push_back(low(e.b1 + r)); break;
    case shape::op_v: b.push_back(low(e.b1 + v1)); break;
    case shape::op_rs: b.push_back(low(e.b1 + 4 * r + s)); break;
    case shape::alu:
      // In the immediate form the register stands twice.
      b.push_back(low(e.b1 + 4 * r + (short_form ? s : r)));
      if (!short_form) push_word32(b, v2);
      break;
    case shape::bit:
      b.push_back(low(e.b1 + 4 * ((v2 >> 4) & 1)));
      b.push_back(low(0x80 * ((v2 >> 3) & 1) + 4 * (v2 & 7) + r + e.b2));
      break;
    case shape::shift:
      if (short_form) {
        b.push_back(low(e.b1 + r));
      } else {
        b.push_back(low(e.prefix));
        b.push_back(low(16 * ((v2 - 1) & 15) + e.b2 + r));
      }
      break;
    case shape::data3:
      b.push_back(low(v1 >> 16));
      b.push_back(low(v1 >> 8));
      b.push_back(low(v1));
      break;
    case shape::ram:
      if (short_form) {
        b.push_back(low(e.b1 + v1));
      } else {
        b.push_back(low(e.b2 + ((v1 >> 8) & 1)));
        b.push_back(low(v1));
      }
      break;
    case shape::jump:
    case shape::addr16: {
      const bool address_form = node->p1_kind == PARAM_NUMBER;
      if (e.layout == shape::jump && !address_form && short_form) {
        b.push_back(e.b1);
        b.push_back(offset(node, node->p1_value));
        break;
      }
      const int target = address_form ? v1 : target_address(node->p1_value);
      b.push_back(e.layout == shape::jump ? e.b2 : e.b1);
      b.push_back(low(target >> 8));
      b.push_back(low(target));
      break;
    }
    case shape::bit_jump:
      b.push_back(e.b1);
      b.push_back(low(8 * v2 + r + e.b2));
      b.push_back(offset(node, node->p3_value));
      break;
    case shape::skip: b.push_back(low(e.b1 + (v1 & 3))); break;
    case shape::bit_skip:
      b.push_back(low(e.b1 + (node->p3_value.num & 3)));
      b.push_back(low(8 * v2 + r + e.b2));
      break;
    case shape::swap: b.push_back(low(r <= 1 ? 4 * r + s : 4 * s + r)); break;
  }
}

std::string get_hex_string(const opcode_node* node, int form, int suffix) {
  std::string text;
  append_hex_string(text, node, form, suffix);
  return text;
}

void append_hex_string(std::string& text, const opcode_node* node, int form, int suffix) {
  const int x1 = node->p1_kind == PARAM_LABEL ? target_address(node->p1_value) : node->p1_value.num;
  const int x3 = node->p3_kind == PARAM_LABEL ? target_address(node->p3_value) : node->p3_value.num;
  // "%s ()", "%s_%d (%d)", "%s (%d,%d)", "%s_%d (%d,%d,%d)" and their kin.
  if (node->opcode >= 0 && node->opcode < OPCODE_COUNT) text += opcode_row(node->opcode).mnemonic;
  if (node->size != 1 || form == 3) {
    text += '_';
    append_dec(text, suffix);
  }
  text += " (";
  if (form == 1) {
    append_dec(text, x1);
  } else if (form >= 2) {
    append_dec(text, node->p1_value.num);
    text += ',';
    append_dec(text, node->p2_value.num);
    if (form == 3) {
      text += ',';
      append_dec(text, x3);
    }
  }
  text += ')';
}
