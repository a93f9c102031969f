// Prints docs/instructions.md, the instruction reference, from the
// instruction table: every fact in the page comes from a row, so the page
// cannot drift from what the assembler checks and encodes.
//
//   gen_instructions            the page on standard output
//
// `cmake --build build --target docs` writes it into the source tree, and
// the test docs/instructions_current fails while the committed page differs.

#include <iostream>
#include <sstream>
#include <string>

#include "core/opcode_table.h"

namespace {

/// "0xCB": base bytes are shown in hexadecimal, as the hex file shows them.
std::string hex(int value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "0x";
  text += digits[(value >> 4) & 0xF];
  text += digits[value & 0xF];
  return text;
}

std::string code(const std::string& text) { return "`" + text + "`"; }

/// The keyword as written in a source: the mnemonic's spelling when the two
/// differ in letter case only, since keywords match in any case.
std::string keyword_of(const opcode_info& row) {
  const std::string keyword = row.keyword;
  const std::string mnemonic = row.mnemonic;
  if (keyword.size() != mnemonic.size()) return keyword;
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(keyword[i]) != lower(mnemonic[i])) return keyword;
  }
  return mnemonic;
}

std::string operand_text(const operand_spec& op) {
  const std::string range = "0.." + std::to_string(op.bound);
  switch (op.kind) {
    case operand_kind::none: return "";
    case operand_kind::reg: return "reg";
    case operand_kind::number: return op.bound == ANY ? "any number" : range;
    case operand_kind::label: return "label";
    case operand_kind::label_or_addr: return "label or address " + range;
    case operand_kind::reg_or_number: return "reg or any number";
    case operand_kind::opt_number: return "optional " + range;
  }
  return "";
}

std::string operands_text(const opcode_info& row) {
  if (row.check == check_kind::REFUSED) return "—";
  std::string text;
  for (const operand_spec& op : row.op) {
    const std::string one = operand_text(op);
    if (one.empty()) continue;
    if (!text.empty()) text += ", ";
    text += one;
  }
  return text.empty() ? "none" : text;
}

std::string size_text(const opcode_info& row) {
  const size_spec& s = row.size;
  const std::string a = std::to_string(s.a);
  const std::string b = std::to_string(s.b);
  switch (s.rule) {
    case size_rule::none: return "—";
    case size_rule::fixed: return a;
    case size_rule::reg_or_number: return a + " with a register, " + b + " with a number";
    case size_rule::count: return a + " without a count, " + b + " with one";
    case size_rule::value:
      return a + " for 0.." + std::to_string(s.limit) + ", " + b + " above";
    case size_rule::label_or_addr:
      if (s.a == s.b) return a;
      if (row.jump.kind == jump_class::plain) {
        return a + " with a label (" + b + " when widened), " + b + " with an address";
      }
      return a + " with a label, " + b + " with an address";
    case size_rule::short_jump: return a + ", widened to " + b;
  }
  return "";
}

/// "+0x04" for a base added at the end of a formula; nothing for 0.
std::string plus(int base) { return base == 0 ? "" : "+" + hex(base); }

/// The bytes of one form of the row's shape, in address order.
std::string bytes_text(const encoding_spec& e, bool long_form) {
  const std::string p = e.prefix == NO_PREFIX ? "" : hex(e.prefix) + ", ";
  const std::string b1 = hex(e.b1);
  const std::string b2 = hex(e.b2);
  switch (e.layout) {
    case shape::none: return "";
    case shape::op: return p + b1;
    case shape::op_r: return p + b1 + "+r";
    case shape::op_v: return e.b1 == 0 ? p + "v1" : p + b1 + "+v1";
    case shape::op_rs: return p + b1 + "+4r+s";
    case shape::alu:
      return long_form ? p + b1 + "+4r+r, v2 (4 bytes)" : p + b1 + "+4r+s";
    case shape::bit:
      return b1 + "+4*bit4(v2), 0x80*bit3(v2)+4*(v2 mod 8)+r" + plus(e.b2);
    case shape::shift:
      return long_form ? hex(e.prefix) + ", 16*((v2-1) mod 16)+r" + plus(e.b2) : b1 + "+r";
    case shape::data3: return "v1 bits 23..16, v1 bits 15..8, v1 bits 7..0";
    case shape::ram: return long_form ? b2 + "+bit8(v1), lo(v1)" : b1 + "+v1";
    case shape::jump: return long_form ? b2 + ", hi(T), lo(T)" : b1 + ", off";
    case shape::addr16: return b1 + ", hi(T), lo(T)";
    case shape::bit_jump: return b1 + ", 8*v2+r" + plus(e.b2) + ", off";
    case shape::skip: return b1 + "+(v1 mod 4)";
    case shape::bit_skip: return b1 + "+(v3 mod 4), 8*v2+r" + plus(e.b2);
    case shape::swap: return "4r+s";
  }
  return "";
}

/// Shapes whose two sizes are two byte layouts.
bool has_two_forms(const opcode_info& row) {
  switch (row.encoding.layout) {
    case shape::alu:
    case shape::shift:
    case shape::ram:
    case shape::jump: return row.size.a != row.size.b;
    default: return false;
  }
}

std::string encoding_text(const opcode_info& row) {
  if (row.encoding.layout == shape::none) return "—";
  if (row.encoding.layout == shape::swap) {
    return code("4r+s") + " when operand 1 is `x` or `y`, " + code("4s+r") + " otherwise";
  }
  if (!has_two_forms(row)) return code(bytes_text(row.encoding, false));
  return std::to_string(row.size.a) + ": " + code(bytes_text(row.encoding, false)) + "<br>" +
         std::to_string(row.size.b) + ": " + code(bytes_text(row.encoding, true));
}

std::string mnemonic_of(int id) { return code(opcode_row(id).mnemonic); }

std::string notes_text(const opcode_info& row) {
  std::string notes;
  const auto add = [&notes](const std::string& note) {
    if (!notes.empty()) notes += "; ";
    notes += note;
  };
  if (row.check == check_kind::REFUSED) add("not supported: refused with \"opcode not found!!!\"");
  if (row.id == OP_ORG) add("directive: sets the address counter, no code");
  if (keyword_of(row) != row.mnemonic) add("named " + code(row.mnemonic) + " in messages");
  switch (row.jump.kind) {
    case jump_class::none: break;
    case jump_class::plain:
      add("widened to " + std::to_string(row.size.b) +
          " bytes when the label lies outside -127..127 of its first byte");
      break;
    case jump_class::bit_jump:
      add("outside -126..127 of its first byte: becomes " + mnemonic_of(row.jump.becomes) +
          " with count 1 over a long " + mnemonic_of(OP_GOTO));
      break;
    case jump_class::skip:
    case jump_class::bit_skip:
      add("skips 1..3 statements; a count that would reach 4 makes it " +
          mnemonic_of(row.jump.becomes) + " to the statement after those four");
      break;
    case jump_class::call: add("the label must stand for a statement; never changes"); break;
  }
  switch (row.rule) {
    case special_rule::none: break;
    case special_rule::count1_not_zero:
    case special_rule::count1_not_zero_skip:
    case special_rule::count2_not_zero:
    case special_rule::count3_not_zero: add("count 0 is an error"); break;
    case special_rule::no_rz_swap: add("r and z may not swap with each other"); break;
  }
  return notes;
}

/// Markdown cell text: a '|' would end the cell.
std::string cell(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '|') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

void write_header(std::ostream& out) {
  out << "# Instruction reference\n"
         "\n"
         "<!-- Generated by tools/gen_instructions.cc from the instruction table\n"
         "     (src/core/opcode_table.cc). Do not edit: change the table and run\n"
         "     `cmake --build build --target docs`. -->\n"
         "\n"
         "Every instruction of the ZR17, as the assembler checks, sizes and encodes\n"
         "it. Keywords are matched in any letter case (`GOTOEQ`, `gotoEQ` and\n"
         "`gotoeq` are the same instruction); the spelling below is the one that\n"
         "messages and the comments of the hex file show. The source language itself\n"
         "(statements, labels, constants, numbers, includes) is described in\n"
         "[language.md](language.md).\n"
         "\n"
         "## Reading the table\n"
         "\n"
         "**Operands**, in source order, separated by commas:\n"
         "\n"
         "| written | takes |\n"
         "|---|---|\n"
         "| `reg` | a register: `x`, `y`, `z` or `r` (codes 0, 1, 2, 3) |\n"
         "| `0..N` | a number from 0 to N; a negative number is out of range |\n"
         "| `any number` | a number of any value, negative ones included |\n"
         "| `label` | the name of a jump label, declared before or after the statement |\n"
         "| `label or address 0..N` | a jump label, or a number: an absolute code address |\n"
         "| `reg or any number` | a register, or a number of any value |\n"
         "| `optional 0..N` | nothing, or a number from 0 to N |\n"
         "\n"
         "A number may be a constant or an expression of numbers and constants.\n"
         "Wrong operands are reported as \"too few parameters\", \"too many\n"
         "parameters\", \"wrong type\" or \"wrong range\" for the instruction.\n"
         "\n"
         "**Bytes**: the number of bytes of program memory the statement occupies.\n"
         "Where the operands choose between two sizes, the column says how.\n"
         "\n"
         "**Encoding**: the bytes in address order. Constants are hexadecimal\n"
         "(`0x..`), factors decimal; each byte is the low 8 bits of its formula.\n"
         "Where an instruction has two forms, each is shown after its size.\n"
         "\n"
         "| name | stands for |\n"
         "|---|---|\n"
         "| `r`, `s` | the code of the register in operand 1, operand 2 |\n"
         "| `v1`, `v2`, `v3` | the number in operand 1, 2, 3 |\n"
         "| `v2 (4 bytes)` | operand 2 as four bytes, most significant first |\n"
         "| `bitN(v)` | bit N of v (0 or 1) |\n"
         "| `T` | the address of the statement the label stands for (or the address written) |\n"
         "| `hi(T)`, `lo(T)` | bits 15..8 and 7..0 of T |\n"
         "| `off` | the low 8 bits of T minus the jump's address minus its size plus 1 |\n"
         "\n"
         "**Notes**: what else applies. Jumps start short and are widened, and bit\n"
         "jumps and skips rewritten, by the jump optimisation described in\n"
         "[language.md](language.md#jump-optimisation).\n"
         "\n";
}

void write_table(std::ostream& out) {
  out << "## Instructions\n"
         "\n"
         "| Keyword | Operands | Bytes | Encoding | Notes |\n"
         "|---|---|---|---|---|\n";
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    const opcode_info& row = opcode_row(id);
    out << "| " << code(keyword_of(row)) << " | " << cell(operands_text(row)) << " | "
        << cell(size_text(row)) << " | " << cell(encoding_text(row)) << " | "
        << cell(notes_text(row)) << " |\n";
  }
  out << "\n";
}

/// The conditions: each skip and the jump it becomes share an opcode.
void write_conditions(std::ostream& out) {
  out << "## Conditions\n"
         "\n"
         "A conditional skip and the short jump of the same condition share their\n"
         "first byte: the skip adds its count (1..3) to it.\n"
         "\n"
         "| Jump | Short form | Long form | Skip |\n"
         "|---|---|---|---|\n";
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    const opcode_info& skip = opcode_row(id);
    if (skip.jump.kind != jump_class::skip) continue;
    const opcode_info& jump = opcode_row(skip.jump.becomes);
    out << "| " << code(jump.mnemonic) << " | " << code(hex(jump.encoding.b1)) << " | "
        << code(hex(jump.encoding.b2)) << " | " << code(skip.mnemonic) << " |\n";
  }
  out << "\n";
}

/// The whole page; reads nothing but the instruction table.
void write_instruction_reference(std::ostream& out) {
  write_header(out);
  write_table(out);
  write_conditions(out);
}

}  // namespace

int main() {
  std::ostringstream page;
  write_instruction_reference(page);
  std::cout << page.str();
  std::cout.flush();
  return std::cout ? 0 : 1;
}
