#include "lsp/instruction_info.h"

#include <cstdio>

namespace lsp {

namespace {

std::string hex(unsigned value, int digits = 2) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

std::string bound_text(std::uint32_t bound) {
  return bound == ANY ? std::string("any value") : "0.." + std::to_string(bound);
}

std::string short_operand(const operand_spec& op) {
  switch (op.kind) {
    case operand_kind::none: return {};
    case operand_kind::reg: return "reg";
    case operand_kind::number: return op.bound == ANY ? "n" : "0.." + std::to_string(op.bound);
    case operand_kind::label: return "label";
    case operand_kind::label_or_addr: return "label|0.." + std::to_string(op.bound);
    case operand_kind::reg_or_number: return "reg|n";
    case operand_kind::opt_number: return "[0.." + std::to_string(op.bound) + "]";
  }
  return {};
}

std::string long_operand(const operand_spec& op) {
  switch (op.kind) {
    case operand_kind::none: return {};
    case operand_kind::reg: return "a register (x, y, z, r)";
    case operand_kind::number: return "a number, " + bound_text(op.bound);
    case operand_kind::label: return "a jump label";
    case operand_kind::label_or_addr: return "a jump label, or an address " + bound_text(op.bound);
    case operand_kind::reg_or_number: return "a register, or a number of any value";
    case operand_kind::opt_number: return "optional: a count, " + bound_text(op.bound);
  }
  return {};
}

std::string bytes(int count) { return std::to_string(count) + (count == 1 ? " byte" : " bytes"); }

std::string size_text(const size_spec& size) {
  const int a = size.a;
  const int b = size.b;
  switch (size.rule) {
    case size_rule::none: return "no code";
    case size_rule::fixed: return bytes(a);
    case size_rule::reg_or_number:
      return bytes(a) + " with a register as operand 2, " + bytes(b) + " with a number";
    case size_rule::count: return bytes(a) + " without a count, " + bytes(b) + " with one";
    case size_rule::value:
      return bytes(a) + " while operand 1 is at most " + std::to_string(size.limit) + ", " +
             bytes(b) + " above";
    case size_rule::label_or_addr:
      return a == b ? bytes(a) : bytes(a) + " with a label, " + bytes(b) + " with an address";
    case size_rule::short_jump:
      return bytes(a) + "; " + bytes(b) +
             " when the jump optimisation finds the target out of reach";
  }
  return {};
}

std::string shape_text(shape layout) {
  switch (layout) {
    case shape::none: return "no code";
    case shape::op: return "b1";
    case shape::op_r: return "b1+r";
    case shape::op_v: return "b1+v";
    case shape::op_rs: return "b1+4r+s";
    case shape::alu: return "b1+4r+s  |  b1+4r+r, then v2 as 4 bytes";
    case shape::bit: return "b1+4*(bit 4 of v2), 0x80*(bit 3 of v2)+4*(v2 mod 8)+r+b2";
    case shape::shift: return "b1+r  |  p, 16*((v2-1) mod 16)+b2+r";
    case shape::data3: return "bits 23..16, 15..8, 7..0 of v";
    case shape::ram: return "b1+v  |  b2+(bit 8 of v), low byte of v";
    case shape::jump: return "b1, off  |  b2, hi(T), lo(T)";
    case shape::addr16: return "b1, hi(T), lo(T)";
    case shape::bit_jump: return "b1, 8*v2+r+b2, off";
    case shape::skip: return "b1+(v mod 4)";
    case shape::bit_skip: return "b1+(n mod 4), 8*v2+r+b2";
    case shape::swap: return "4r+s while r is 0 or 1, 4s+r for 2 and 3";
  }
  return {};
}

bool uses_b2(shape layout) {
  switch (layout) {
    case shape::bit:
    case shape::shift:
    case shape::ram:
    case shape::jump:
    case shape::bit_jump:
    case shape::bit_skip: return true;
    default: return false;
  }
}

std::string rule_text(special_rule rule) {
  switch (rule) {
    case special_rule::none: return {};
    case special_rule::count1_not_zero:
    case special_rule::count1_not_zero_skip: return "Operand 1 may not be 0.";
    case special_rule::count2_not_zero: return "Operand 2 may not be 0.";
    case special_rule::count3_not_zero: return "Operand 3 may not be 0.";
    case special_rule::no_rz_swap: return "Registers r and z may not be swapped with each other.";
  }
  return {};
}

std::string jump_text(const jump_spec& jump) {
  const std::string becomes =
      jump.becomes >= 0 ? std::string(opcode_row(jump.becomes).mnemonic) : std::string();
  switch (jump.kind) {
    case jump_class::none: return {};
    case jump_class::plain:
      return "The jump optimisation widens it when its target is out of reach.";
    case jump_class::bit_jump:
      return "Out of reach, the jump optimisation turns it into " + becomes + " over a long goto.";
    case jump_class::skip:
    case jump_class::bit_skip: return "A count that would reach 4 turns it into " + becomes + ".";
    case jump_class::call: return "Its label must stand for a statement.";
  }
  return {};
}

}  // namespace

std::string instruction_signature(const opcode_info& row) {
  std::string text = row.mnemonic;
  bool first = true;
  for (const operand_spec& op : row.op) {
    if (op.kind == operand_kind::none) continue;
    text += first ? " " : ", ";
    text += short_operand(op);
    first = false;
  }
  return text;
}

std::string instruction_markdown(const opcode_info& row) {
  std::string text = "```zr17asm\n" + instruction_signature(row) + "\n```\n";
  if (row.check == check_kind::REFUSED) {
    return text + "\nNot supported: the assembler refuses this instruction.\n";
  }
  if (row.id == OP_ORG) {
    return text + "\nDirective: the address of the next statement, " + bound_text(row.op[0].bound) +
           ". Generates no code.\n";
  }
  bool any = false;
  for (int i = 0; i < 3; ++i) {
    if (row.op[i].kind == operand_kind::none) continue;
    if (!any) text += "\n**Operands**\n";
    any = true;
    text += "- " + std::to_string(i + 1) + ": " + long_operand(row.op[i]) + "\n";
  }
  if (!any) text += "\nNo operands.\n";
  text += "\n**Size:** " + size_text(row.size) + "\n";
  const encoding_spec& code = row.encoding;
  text += "\n**Encoding:** `" + shape_text(code.layout) + "`";
  std::string bytes_used;
  if (code.prefix != NO_PREFIX) bytes_used += "p = " + hex(static_cast<unsigned>(code.prefix));
  if (!bytes_used.empty()) bytes_used += ", ";
  bytes_used += "b1 = " + hex(code.b1);
  if (uses_b2(code.layout)) bytes_used += ", b2 = " + hex(code.b2);
  // The shift's counted form carries the prefix inside its layout.
  if (code.prefix != NO_PREFIX && code.layout != shape::shift) {
    text += " after the prefix byte";
  }
  text += " (" + bytes_used + ")\n";
  for (const std::string& note : {rule_text(row.rule), jump_text(row.jump)}) {
    if (!note.empty()) text += "\n" + note + "\n";
  }
  return text;
}

}  // namespace lsp
