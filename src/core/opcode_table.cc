#include "core/opcode_table.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr check_kind P = check_kind::P;
constexpr check_kind P2 = check_kind::P2;
constexpr check_kind P3 = check_kind::P3;
constexpr check_kind REFUSED = check_kind::REFUSED;

// Operands.
constexpr operand_spec reg{operand_kind::reg, 0};
constexpr operand_spec label{operand_kind::label, 0};
constexpr operand_spec any{operand_kind::number, ANY};
constexpr operand_spec reg_or_any{operand_kind::reg_or_number, ANY};
constexpr operand_spec num(std::uint32_t bound) { return {operand_kind::number, bound}; }
constexpr operand_spec opt(std::uint32_t bound) { return {operand_kind::opt_number, bound}; }
constexpr operand_spec label_or(std::uint32_t bound) {
  return {operand_kind::label_or_addr, bound};
}

// Sizes.
constexpr size_spec sizes(size_rule rule, int a, int b, int limit = 0) {
  return {rule, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), limit};
}
constexpr size_spec fixed(int a) { return sizes(size_rule::fixed, a, a); }
constexpr size_spec by_reg(int a, int b) { return sizes(size_rule::reg_or_number, a, b); }
constexpr size_spec by_count(int a, int b) { return sizes(size_rule::count, a, b); }
constexpr size_spec by_value(int limit, int a, int b) {
  return sizes(size_rule::value, a, b, limit);
}
constexpr size_spec by_label(int a, int b) { return sizes(size_rule::label_or_addr, a, b); }
constexpr size_spec widens(int a, int b) { return sizes(size_rule::short_jump, a, b); }

// Encodings, their bytes written in address order (the prefix first).
constexpr encoding_spec enc(shape layout, int prefix, int b1, int b2 = 0) {
  return {layout, static_cast<std::int16_t>(prefix), static_cast<std::uint8_t>(b1),
          static_cast<std::uint8_t>(b2)};
}
constexpr encoding_spec op(int b1) { return enc(shape::op, NO_PREFIX, b1); }
constexpr encoding_spec op(int p, int b1) { return enc(shape::op, p, b1); }
constexpr encoding_spec op_r(int b1) { return enc(shape::op_r, NO_PREFIX, b1); }
constexpr encoding_spec op_r(int p, int b1) { return enc(shape::op_r, p, b1); }
constexpr encoding_spec op_v(int b1) { return enc(shape::op_v, NO_PREFIX, b1); }
constexpr encoding_spec op_v(int p, int b1) { return enc(shape::op_v, p, b1); }
constexpr encoding_spec op_rs(int p, int b1) { return enc(shape::op_rs, p, b1); }
constexpr encoding_spec alu(int b1) { return enc(shape::alu, NO_PREFIX, b1); }
constexpr encoding_spec alu(int p, int b1) { return enc(shape::alu, p, b1); }
constexpr encoding_spec bit(int b1, int b2) { return enc(shape::bit, NO_PREFIX, b1, b2); }
/// The one-byte form first, then the prefix and base of the counted form.
constexpr encoding_spec shift(int b1, int p, int b2) { return enc(shape::shift, p, b1, b2); }
constexpr encoding_spec data3() { return enc(shape::data3, NO_PREFIX, 0); }
constexpr encoding_spec ram(int b1, int b2) { return enc(shape::ram, NO_PREFIX, b1, b2); }
constexpr encoding_spec jump(int b1, int b2) { return enc(shape::jump, NO_PREFIX, b1, b2); }
constexpr encoding_spec addr16(int b1) { return enc(shape::addr16, NO_PREFIX, b1); }
constexpr encoding_spec bit_jump(int b1, int b2) { return enc(shape::bit_jump, NO_PREFIX, b1, b2); }
constexpr encoding_spec skip(int b1) { return enc(shape::skip, NO_PREFIX, b1); }
constexpr encoding_spec bit_skip(int b1, int b2) { return enc(shape::bit_skip, NO_PREFIX, b1, b2); }
constexpr encoding_spec swap() { return enc(shape::swap, NO_PREFIX, 0); }

// Comment forms.
constexpr comment_spec c(int form_a, int form_b) {
  return {static_cast<std::uint8_t>(form_a), static_cast<std::uint8_t>(form_b)};
}
constexpr comment_spec c(int form) { return c(form, form); }

// Jump classes.
constexpr jump_class JMP = jump_class::plain;
constexpr jump_class BJMP = jump_class::bit_jump;
constexpr jump_class SKP = jump_class::skip;
constexpr jump_class BSKP = jump_class::bit_skip;
constexpr jump_class CALL = jump_class::call;

// Rules of single instructions.
constexpr special_rule NZ1 = special_rule::count1_not_zero;
constexpr special_rule NZ1_SKIP = special_rule::count1_not_zero_skip;
constexpr special_rule NZ2 = special_rule::count2_not_zero;
constexpr special_rule NZ3 = special_rule::count3_not_zero;
constexpr special_rule NO_RZ = special_rule::no_rz_swap;

}  // namespace

// One instruction per row; {} is "nothing" in any column.
//   check     P: one kind and bound per operand; P2: reg, then reg or any
//             number; P3: reg, then an optional count; REFUSED: refused
//   operands  in source order, positions left out must be empty: reg,
//             num(N) (0..N), any, label, label_or(N) (a label, or an address
//             0..N), reg_or_any, opt(N) (empty or 0..N)
//   size      fixed(a); by_reg(a,b): a with a register as operand 2, b with
//             a number; by_count(a,b): b with a count; by_value(L,a,b): b
//             above L; by_label(a,b): b with an address; widens(a,b): the
//             jump optimisation widens a to b
//   encoding  the shape with its prefix and base bytes (see `shape`)
//   comment   operand values shown by the comment of each byte: c(form),
//             or c(form at size a, form at size b)
//   jump      its part in the jump optimisation: JMP widens from size a to b;
//             BJMP (bit jump), SKP and BSKP (skip, bit skip) with what they
//             become there; CALL keeps its form, but its label must resolve
//   rule      NZ1/NZ2/NZ3: a count in operand 1/2/3 may not be 0 (NZ1_SKIP
//             in skip's own message layout); NO_RZ: no swap of r with z
// clang-format off
constexpr opcode_info opcode_table[OPCODE_COUNT] = {
// id            mnemonic     keyword      check    operands                size                encoding                 comment  jump                 rule
  {OP_ABS,       "abs",       "abs",       P,       {reg},                  fixed(2),           op_r(0xCB, 0x28),        c(1),    {},                  {}},
  {OP_ADD,       "add",       "add",       P2,      {reg, reg_or_any},      by_reg(1, 5),       alu(0x20),               c(2),    {},                  {}},
  {OP_ADD48R,    "add48r",    "add48r",    REFUSED, {},                     {},                 {},                      {},      {},                  {}},
  {OP_ADD48X,    "add48x",    "add48x",    REFUSED, {},                     {},                 {},                      {},      {},                  {}},
  {OP_AND,       "and",       "and",       P2,      {reg, reg_or_any},      by_reg(2, 6),       alu(0xCB, 0x80),         c(2),    {},                  {}},
  {OP_BITCLR,    "bitclr",    "bitclr",    P,       {reg, num(31)},         fixed(2),           bit(0xF1, 0x00),         c(2),    {},                  {}},
  {OP_BITINV,    "bitinv",    "bitinv",    P,       {reg, num(31)},         fixed(2),           bit(0xF1, 0x60),         c(2),    {},                  {}},
  {OP_BITSET,    "bitset",    "bitset",    P,       {reg, num(31)},         fixed(2),           bit(0xF1, 0x20),         c(2),    {},                  {}},
  {OP_BYTEDIR,   "bytedir",   "bytedir",   P,       {num(1)},               fixed(1),           op_v(0xE4),              c(1),    {},                  {}},
  {OP_BYTESEL,   "bytesel",   "bytesel",   P,       {num(7)},               fixed(1),           op_v(0xD8),              c(1),    {},                  {}},
  {OP_CLEAR,     "clear",     "clear",     P,       {reg},                  fixed(1),           op_r(0x08),              c(1),    {},                  {}},
  {OP_CLKMODE,   "clkmode",   "clkmode",   P,       {num(1)},               fixed(2),           op_v(0xCB, 0x14),        c(0),    {},                  {}},
  {OP_CLRC,      "clrC",      "clrc",      P,       {},                     fixed(1),           op(0xC8),                c(0),    {},                  {}},
  {OP_CLRWDT,    "clrwdt",    "clrwdt",    P,       {},                     fixed(2),           op(0xCB, 0x01),          c(0),    {},                  {}},
  {OP_COMPARE,   "compare",   "compare",   P2,      {reg, reg_or_any},      by_reg(1, 5),       alu(0x10),               c(2),    {},                  {}},
  {OP_COMPL,     "compl",     "compl",     P,       {reg},                  fixed(2),           op_r(0xCB, 0x20),        c(1),    {},                  {}},
  {OP_DECR,      "decr",      "decr",      P,       {reg},                  fixed(1),           op_r(0xFC),              c(1),    {},                  {}},
  {OP_DECRAMADR, "decramadr", "decramadr", P,       {},                     fixed(1),           op(0xF4),                c(0),    {},                  {}},
  {OP_DIV,       "div",       "div",       P,       {reg, reg},             fixed(2),           op_rs(0xCB, 0x60),       c(2),    {},                  {}},
  {OP_DIVMOD,    "divmod",    "divmod",    P,       {reg, reg},             fixed(2),           op_rs(0xCB, 0x70),       c(2),    {},                  {}},
  {OP_EOR,       "eor",       "eor",       P2,      {reg, reg_or_any},      by_reg(2, 6),       alu(0xCB, 0xE0),         c(2),    {},                  {}},
  {OP_EORN,      "eorn",      "eorn",      P2,      {reg, reg_or_any},      by_reg(2, 6),       alu(0xCB, 0xF0),         c(2),    {},                  {}},
  {OP_EQUAL,     "equal",     "equal",     P,       {any},                  fixed(3),           data3(),                 c(1),    {},                  {}},
  {OP_EQUAL1,    "equal",     "equal1",    P,       {num(255)},             fixed(1),           op_v(0x00),              c(1),    {},                  {}},
  {OP_GETFLAG,   "getflag",   "getflag",   P,       {reg},                  fixed(1),           op_r(0x0C),              c(1),    {},                  {}},
  {OP_GETRAMADR, "getramadr", "getramadr", P,       {},                     fixed(1),           op(0xF7),                c(1),    {},                  {}},
  {OP_REVFWA,    "revfwa",    "revfwa",    P,       {},                     fixed(2),           op(0xCB, 0x02),          c(0),    {},                  {}},
  {OP_REVFWU,    "revfwu",    "revfwu",    P,       {},                     fixed(2),           op(0xCB, 0x04),          c(0),    {},                  {}},
  {OP_GOTO,      "goto",      "goto",      P,       {label_or(65535)},      by_label(2, 3),     jump(0x64, 0xC9),        c(1),    {JMP},               {}},
  {OP_GOTOBITC,  "gotoBitC",  "gotobitc",  P,       {reg, num(31), label},  fixed(3),           bit_jump(0x60, 0x00),    c(3),    {BJMP, OP_SKIPBITS}, {}},
  {OP_GOTOBITS,  "gotoBitS",  "gotobits",  P,       {reg, num(31), label},  fixed(3),           bit_jump(0x60, 0x04),    c(3),    {BJMP, OP_SKIPBITC}, {}},
  {OP_GOTOCARC,  "gotoCarC",  "gotocarc",  P,       {label},                widens(2, 3),       jump(0x40, 0x68),        c(1),    {JMP},               {}},
  {OP_GOTOCARS,  "gotoCarS",  "gotocars",  P,       {label},                widens(2, 3),       jump(0x50, 0x6C),        c(1),    {JMP},               {}},
  {OP_GOTOEQ,    "gotoEQ",    "gotoeq",    P,       {label},                widens(2, 3),       jump(0x48, 0x6A),        c(1),    {JMP},               {}},
  {OP_GOTONE,    "gotoNE",    "gotone",    P,       {label},                widens(2, 3),       jump(0x58, 0x6E),        c(1),    {JMP},               {}},
  {OP_GOTONEG,   "gotoNeg",   "gotoneg",   P,       {label},                widens(2, 3),       jump(0x5C, 0x6F),        c(1),    {JMP},               {}},
  {OP_GOTOOVRC,  "gotoOvrC",  "gotoovrc",  P,       {label},                widens(2, 3),       jump(0x44, 0x69),        c(1),    {JMP},               {}},
  {OP_GOTOOVRS,  "gotoOvrS",  "gotoovrs",  P,       {label},                widens(2, 3),       jump(0x54, 0x6D),        c(1),    {JMP},               {}},
  {OP_GOTOPOS,   "gotoPos",   "gotopos",   P,       {label},                widens(2, 3),       jump(0x4C, 0x6B),        c(1),    {JMP},               {}},
  {OP_I2CCLK,    "i2cclk",    "i2cclk",    P,       {},                     fixed(1),           op(0xF6),                c(1),    {},                  {}},
  {OP_I2CREQ,    "i2creq",    "i2creq",    P,       {num(1)},               fixed(1),           op_v(0xE8),              c(1),    {},                  {}},
  {OP_I2CRW,     "i2crw",     "i2crw",     P,       {num(1)},               fixed(1),           op_v(0xEA),              c(1),    {},                  {}},
  {OP_INCR,      "incr",      "incr",      P,       {reg},                  fixed(1),           op_r(0xF8),              c(1),    {},                  {}},
  {OP_INCRAMADR, "incramadr", "incramadr", P,       {},                     fixed(1),           op(0xF0),                c(0),    {},                  {}},
  {OP_INVERT,    "invert",    "invert",    P,       {reg},                  fixed(2),           op_r(0xCB, 0x24),        c(1),    {},                  {}},
  {OP_JSUB,      "jsub",      "jsub",      P,       {label_or(65535)},      by_label(3, 3),     addr16(0xCA),            c(1),    {CALL},              {}},
  {OP_JSUBRET,   "jsubret",   "jsubret",   P,       {},                     fixed(1),           op(0xCF),                c(0),    {},                  {}},
  {OP_MCTEN,     "mcten",     "mcten",     P,       {num(1)},               fixed(2),           op_v(0xCB, 0x12),        c(1),    {},                  {}},
  {OP_MOVE,      "move",      "move",      P2,      {reg, reg_or_any},      by_reg(1, 5),       alu(0x70),               c(2),    {},                  {}},
  {OP_MOVE48R,   "move48r",   "move48r",   REFUSED, {},                     {},                 {},                      {},      {},                  {}},
  {OP_MOVE48X,   "move48x",   "move48x",   REFUSED, {},                     {},                 {},                      {},      {},                  {}},
  {OP_MULT,      "mult",      "mult",      P,       {reg, reg},             fixed(2),           op_rs(0xCB, 0x50),       c(2),    {},                  {}},
  {OP_NAND,      "nand",      "nand",      P2,      {reg, reg_or_any},      by_reg(2, 6),       alu(0xCB, 0x90),         c(2),    {},                  {}},
  {OP_NOP,       "nop",       "nop",       P,       {},                     fixed(1),           op(0x00),                c(0),    {},                  {}},
  {OP_NOR,       "nor",       "nor",       P2,      {reg, reg_or_any},      by_reg(2, 6),       alu(0xCB, 0xB0),         c(2),    {},                  {}},
  {OP_OR,        "or",        "or",        P2,      {reg, reg_or_any},      by_reg(2, 6),       alu(0xCB, 0xA0),         c(2),    {},                  {}},
  {OP_ORG,       "org",       "org",       P,       {num(65535)},           {},                 {},                      {},      {},                  {}},
  {OP_RAMADR,    "ramadr",    "ramadr",    P,       {num(511)},             by_value(63, 1, 2), ram(0x80, 0xF2),         c(1),    {},                  {}},
  {OP_RAMADREXT, "ramadrext", "ramadrext", REFUSED, {},                     {},                 {},                      {},      {},                  {}},
  {OP_ROTL,      "rotL",      "rotl",      P3,      {reg, opt(15)},         by_count(1, 2),     shift(0xD4, 0xCE, 0x0C), c(1, 2), {},                  {}},
  {OP_ROTR,      "rotR",      "rotr",      P3,      {reg, opt(15)},         by_count(1, 2),     shift(0xC4, 0xCE, 0x04), c(1, 2), {},                  {}},
  {OP_SETC,      "setC",      "setc",      P,       {},                     fixed(1),           op(0xCC),                c(0),    {},                  {}},
  {OP_SHIFTL,    "shiftL",    "shiftl",    P3,      {reg, opt(15)},         by_count(1, 2),     shift(0xD0, 0xCE, 0x08), c(1, 2), {},                  NZ2},
  {OP_SHIFTR,    "shiftR",    "shiftr",    P3,      {reg, opt(15)},         by_count(1, 2),     shift(0xC0, 0xCE, 0x00), c(1, 2), {},                  NZ2},
  {OP_SIGN,      "sign",      "sign",      P,       {reg},                  fixed(2),           op_r(0xCB, 0x2C),        c(1),    {},                  {}},
  {OP_SKIP,      "skip",      "skip",      P,       {num(3)},               fixed(1),           skip(0x64),              c(1),    {SKP, OP_GOTO},      NZ1_SKIP},
  {OP_SKIPBITC,  "skipBitC",  "skipbitc",  P,       {reg, num(31), num(3)}, fixed(2),           bit_skip(0x60, 0x00),    c(3),    {BSKP, OP_GOTOBITC}, NZ3},
  {OP_SKIPBITS,  "skipBitS",  "skipbits",  P,       {reg, num(31), num(3)}, fixed(2),           bit_skip(0x60, 0x04),    c(3),    {BSKP, OP_GOTOBITS}, NZ3},
  {OP_SKIPCARC,  "skipCarC",  "skipcarc",  P,       {num(3)},               fixed(1),           skip(0x40),              c(1),    {SKP, OP_GOTOCARC},  NZ1},
  {OP_SKIPCARS,  "skipCarS",  "skipcars",  P,       {num(3)},               fixed(1),           skip(0x50),              c(1),    {SKP, OP_GOTOCARS},  NZ1},
  {OP_SKIPEQ,    "skipEQ",    "skipeq",    P,       {num(3)},               fixed(1),           skip(0x48),              c(1),    {SKP, OP_GOTOEQ},    NZ1},
  {OP_SKIPNE,    "skipNE",    "skipne",    P,       {num(3)},               fixed(1),           skip(0x58),              c(1),    {SKP, OP_GOTONE},    NZ1},
  {OP_SKIPNEG,   "skipNeg",   "skipneg",   P,       {num(3)},               fixed(1),           skip(0x5C),              c(1),    {SKP, OP_GOTONEG},   NZ1},
  {OP_SKIPOVRC,  "skipOvrC",  "skipovrc",  P,       {num(3)},               fixed(1),           skip(0x44),              c(1),    {SKP, OP_GOTOOVRC},  NZ1},
  {OP_SKIPOVRS,  "skipOvrS",  "skipovrs",  P,       {num(3)},               fixed(1),           skip(0x54),              c(1),    {SKP, OP_GOTOOVRS},  NZ1},
  {OP_SKIPPOS,   "skipPos",   "skippos",   P,       {num(3)},               fixed(1),           skip(0x4C),              c(1),    {SKP, OP_GOTOPOS},   NZ1},
  {OP_STOP,      "stop",      "stop",      P,       {},                     fixed(1),           op(0xCD),                c(0),    {},                  {}},
  {OP_SUB,       "sub",       "sub",       P2,      {reg, reg_or_any},      by_reg(1, 5),       alu(0x30),               c(2),    {},                  {}},
  {OP_SUB48R,    "sub48r",    "sub48r",    REFUSED, {},                     {},                 {},                      {},      {},                  {}},
  {OP_SUB48X,    "sub48x",    "sub48x",    REFUSED, {},                     {},                 {},                      {},      {},                  {}},
  {OP_SWAP,      "swap",      "swap",      P,       {reg, reg},             fixed(1),           swap(),                  c(2),    {},                  NO_RZ},
  {OP_SWAP48,    "swap48",    "swap48",    REFUSED, {},                     {},                 {},                      {},      {},                  {}},
};
// clang-format on

namespace {

constexpr bool rows_in_id_order() {
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    if (opcode_table[id].id != id) return false;
  }
  return true;
}
static_assert(rows_in_id_order(), "each row stands at the index of its opcode id");

}  // namespace

std::string get_opcode_name(int id) {
  if (id < 0 || id >= OPCODE_COUNT) return std::string();
  return opcode_table[id].mnemonic;
}

int find_opcode_keyword(std::string_view word) {
  // Longest keyword is nine characters; anything longer is an identifier.
  if (word.empty() || word.size() > 9) return -1;
  std::string lower(word);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    if (lower == opcode_table[id].keyword) return id;
  }
  return -1;
}
