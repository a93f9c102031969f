#include "output/encode.h"

#include "core/program.h"
#include "driver/opcode_table.h"
#include "output/text_format.h"

namespace {

/// The short goto (and skip) opcode and the long goto opcode of each
/// condition, indexed by goto id - OP_GOTO (ids 29, 30 are the bit jumps).
constexpr std::uint8_t short_opcode[] = {0x64, 0x60, 0x60, 0x40, 0x50, 0x48,
                                         0x58, 0x5C, 0x44, 0x54, 0x4C};
constexpr std::uint8_t long_opcode[] = {0xC9, 0x00, 0x00, 0x68, 0x6C, 0x6A,
                                        0x6E, 0x6F, 0x69, 0x6D, 0x6B};

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
  out.known = true;
  std::vector<std::uint8_t>& b = out.bytes;
  const int r = node->p1_value.num;
  const int s = node->p2_value.num;
  const std::int32_t v1 = node->p1_value.num;
  const std::int32_t v2 = node->p2_value.num;
  const int size = node->size;

  /// Register pair in one byte; in the immediate forms the register stands twice.
  auto pair = [&](int base) { return low(base + 4 * r + (size <= 2 ? s : r)); };
  auto alu1 = [&](int base) {  // one-byte register form or five-byte immediate form
    out.form = 2;
    if (size == 1) {
      b = {low(base + 4 * r + s)};
    } else {
      b = {low(base + 4 * r + r)};
      push_word32(b, v2);
    }
  };
  auto alu2 = [&](int base) {  // 0xCB prefix, two-byte or six-byte form
    out.form = 2;
    b = {0xCB, pair(base)};
    if (size != 2) push_word32(b, v2);
  };
  auto bitop = [&](int extra) {
    const int bit = v2;
    out.form = 2;
    b = {low(0xF1 + 4 * ((bit >> 4) & 1)),
         low(0x80 * ((bit >> 3) & 1) + 4 * (bit & 7) + r + extra)};
  };
  auto shift = [&](int one_byte, int count_base) {
    if (size == 1) {
      out.form = 1;
      b = {low(one_byte + r)};
    } else {
      out.form = 2;
      b = {0xCE, low(16 * ((v2 - 1) & 15) + count_base + r)};
    }
  };
  auto prefixed = [&](int second, int form) {
    out.form = form;
    b = {0xCB, low(second)};
  };
  auto single = [&](int value, int form) {
    out.form = form;
    b = {low(value)};
  };

  switch (node->opcode) {
    case OP_ABS: prefixed(0x28 + r, 1); break;
    case OP_ADD: alu1(0x20); break;
    case OP_AND: alu2(0x80); break;
    case OP_BITCLR: bitop(0x00); break;
    case OP_BITINV: bitop(0x60); break;
    case OP_BITSET: bitop(0x20); break;
    case OP_BYTEDIR: single(0xE4 + v1, 1); break;
    case OP_BYTESEL: single(0xD8 + v1, 1); break;
    case OP_CLEAR: single(0x08 + r, 1); break;
    case OP_CLKMODE: prefixed(0x14 + v1, 0); break;
    case OP_CLRC: single(0xC8, 0); break;
    case OP_CLRWDT: prefixed(0x01, 0); break;
    case OP_COMPARE: alu1(0x10); break;
    case OP_COMPL: prefixed(0x20 + r, 1); break;
    case OP_DECR: single(0xFC + r, 1); break;
    case OP_DECRAMADR: single(0xF4, 0); break;
    case OP_DIV: prefixed(0x60 + 4 * r + s, 2); break;
    case OP_DIVMOD: prefixed(0x70 + 4 * r + s, 2); break;
    case OP_EOR: alu2(0xE0); break;
    case OP_EORN: alu2(0xF0); break;
    case OP_EQUAL:
      out.form = 1;
      b = {low(v1 >> 16), low(v1 >> 8), low(v1)};
      break;
    case OP_EQUAL1: single(v1, 1); break;
    case OP_GETFLAG: single(0x0C + r, 1); break;
    case OP_GETRAMADR: single(0xF7, 1); break;
    case OP_REVFWA: prefixed(0x02, 0); break;
    case OP_REVFWU: prefixed(0x04, 0); break;
    case OP_GOTO:
    case OP_GOTOCARC: case OP_GOTOCARS: case OP_GOTOEQ: case OP_GOTONE:
    case OP_GOTONEG: case OP_GOTOOVRC: case OP_GOTOOVRS: case OP_GOTOPOS: {
      out.form = 1;
      const int row = node->opcode - OP_GOTO;
      if (node->p1_kind == PARAM_NUMBER && node->opcode == OP_GOTO) {
        b = {long_opcode[row], low(v1 >> 8), low(v1)};
      } else if (size == 2) {
        b = {short_opcode[row], offset(node, node->p1_value)};
      } else {
        const int target = target_address(node->p1_value);
        b = {long_opcode[row], low(target >> 8), low(target)};
      }
      break;
    }
    case OP_GOTOBITC:
    case OP_GOTOBITS:
      out.form = 3;
      b = {0x60, low(8 * v2 + r + (node->opcode == OP_GOTOBITS ? 4 : 0)),
           offset(node, node->p3_value)};
      break;
    case OP_I2CCLK: single(0xF6, 1); break;
    case OP_I2CREQ: single(0xE8 + v1, 1); break;
    case OP_I2CRW: single(0xEA + v1, 1); break;
    case OP_INCR: single(0xF8 + r, 1); break;
    case OP_INCRAMADR: single(0xF0, 0); break;
    case OP_INVERT: prefixed(0x24 + r, 1); break;
    case OP_JSUB: {
      out.form = 1;
      const int target = node->p1_kind == PARAM_NUMBER ? v1 : target_address(node->p1_value);
      b = {0xCA, low(target >> 8), low(target)};
      break;
    }
    case OP_JSUBRET: single(0xCF, 0); break;
    case OP_MCTEN: prefixed(0x12 + (v1 & 1), 1); break;
    case OP_MOVE: alu1(0x70); break;
    case OP_MULT: prefixed(0x50 + 4 * r + s, 2); break;
    case OP_NAND: alu2(0x90); break;
    case OP_NOP: single(0x00, 0); break;
    case OP_NOR: alu2(0xB0); break;
    case OP_OR: alu2(0xA0); break;
    case OP_RAMADR:
      out.form = 1;
      if (v1 <= 63) {
        b = {low(0x80 + v1)};
      } else {
        b = {low(0xF2 + ((v1 >> 8) & 1)), low(v1)};
      }
      break;
    case OP_ROTL: shift(0xD4, 0x0C); break;
    case OP_ROTR: shift(0xC4, 0x04); break;
    case OP_SETC: single(0xCC, 0); break;
    case OP_SHIFTL: shift(0xD0, 0x08); break;
    case OP_SHIFTR: shift(0xC0, 0x00); break;
    case OP_SIGN: prefixed(0x2C + r, 1); break;
    case OP_SKIP:
    case OP_SKIPCARC: case OP_SKIPCARS: case OP_SKIPEQ: case OP_SKIPNE:
    case OP_SKIPNEG: case OP_SKIPOVRC: case OP_SKIPOVRS: case OP_SKIPPOS:
      single(short_opcode[node->opcode - OP_SKIP] + (v1 & 3), 1);
      break;
    case OP_SKIPBITC:
    case OP_SKIPBITS:
      out.form = 3;
      b = {low(0x60 + (node->p3_value.num & 3)),
           low(8 * v2 + r + (node->opcode == OP_SKIPBITS ? 4 : 0))};
      break;
    case OP_STOP: single(0xCD, 0); break;
    case OP_SUB: alu1(0x30); break;
    case OP_SWAP: single(r <= 1 ? 4 * r + s : 4 * s + r, 2); break;
    default:
      out.known = false;
      b.clear();
      break;
  }
  return out;
}

std::string get_hex_string(const opcode_node* node, int form, int suffix) {
  const int x1 = node->p1_kind == PARAM_LABEL ? target_address(node->p1_value) : node->p1_value.num;
  const int x3 = node->p3_kind == PARAM_LABEL ? target_address(node->p3_value) : node->p3_value.num;
  // "%s ()", "%s_%d (%d)", "%s (%d,%d)", "%s_%d (%d,%d,%d)" and their kin.
  std::string text = get_opcode_name(node->opcode);
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
  return text;
}
