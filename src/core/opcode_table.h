// The ZR17 instruction set: one row per opcode id 0..81 holding every fact of
// the instruction, from its keyword and operands to its bytes and its part in
// the jump optimisation. Checks, encoder and jump optimisation ask the row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum opcode_id : int {
  OP_ABS, OP_ADD, OP_ADD48R, OP_ADD48X, OP_AND, OP_BITCLR, OP_BITINV, OP_BITSET,
  OP_BYTEDIR, OP_BYTESEL, OP_CLEAR, OP_CLKMODE, OP_CLRC, OP_CLRWDT, OP_COMPARE, OP_COMPL,
  OP_DECR, OP_DECRAMADR, OP_DIV, OP_DIVMOD, OP_EOR, OP_EORN, OP_EQUAL, OP_EQUAL1,
  OP_GETFLAG, OP_GETRAMADR, OP_REVFWA, OP_REVFWU, OP_GOTO, OP_GOTOBITC, OP_GOTOBITS,
  OP_GOTOCARC, OP_GOTOCARS, OP_GOTOEQ, OP_GOTONE, OP_GOTONEG, OP_GOTOOVRC, OP_GOTOOVRS,
  OP_GOTOPOS, OP_I2CCLK, OP_I2CREQ, OP_I2CRW, OP_INCR, OP_INCRAMADR, OP_INVERT, OP_JSUB,
  OP_JSUBRET, OP_MCTEN, OP_MOVE, OP_MOVE48R, OP_MOVE48X, OP_MULT, OP_NAND, OP_NOP, OP_NOR,
  OP_OR, OP_ORG, OP_RAMADR, OP_RAMADREXT, OP_ROTL, OP_ROTR, OP_SETC, OP_SHIFTL, OP_SHIFTR,
  OP_SIGN, OP_SKIP, OP_SKIPBITC, OP_SKIPBITS, OP_SKIPCARC, OP_SKIPCARS, OP_SKIPEQ,
  OP_SKIPNE, OP_SKIPNEG, OP_SKIPOVRC, OP_SKIPOVRS, OP_SKIPPOS, OP_STOP, OP_SUB, OP_SUB48R,
  OP_SUB48X, OP_SWAP, OP_SWAP48,
  OPCODE_COUNT
};

/// Which operand check applies to an instruction.
enum class check_kind : std::uint8_t {
  P,        ///< check_parameter: one kind and bound per position
  P2,       ///< check_parameter2: register, then register or any number
  P3,       ///< check_parameter3: register, then an optional count
  REFUSED,  ///< not supported: refused before any operand check, no size, no code
};

/// What one operand position takes.
enum class operand_kind : std::uint8_t {
  none,           ///< must be empty
  reg,            ///< a register
  number,         ///< a number up to the bound
  label,          ///< a jump-label name
  label_or_addr,  ///< a jump-label name, or a number up to the bound (an absolute address)
  reg_or_number,  ///< (P2) a register, or a number of any value
  opt_number,     ///< (P3) empty, or a number up to the bound
};

/// Bound of a number that may take any value.
constexpr std::uint32_t ANY = 0xFFFFFFFFu;

struct operand_spec {
  operand_kind kind = operand_kind::none;
  /// Inclusive upper bound of a number, compared unsigned.
  std::uint32_t bound = 0;
};

/// How the operands choose between the two sizes `a` and `b` of a row.
enum class size_rule : std::uint8_t {
  none,           ///< no code: refused ids and org
  fixed,          ///< always a
  reg_or_number,  ///< a with a register as operand 2, b with a number
  count,          ///< a without operand 2, b with a count there
  value,          ///< a while operand 1 (signed) is at most `limit`, b above
  label_or_addr,  ///< a with a label as operand 1, b with an address
  short_jump,     ///< a; the jump optimisation widens it to b
};

struct size_spec {
  size_rule rule = size_rule::none;
  std::uint8_t a = 0;
  std::uint8_t b = 0;
  std::int32_t limit = 0;  ///< only for size_rule::value
};

/// The byte layout of an instruction. p is the prefix byte, b1 and b2 the
/// base bytes, r and s the register codes of operands 1 and 2, v the value of
/// operand 1, v2 that of operand 2, n the count of a skip (operand 3 of the
/// bit skips), T the address of a label operand's statement and off the low
/// byte of T - address - size + 1. "a | b" gives the bytes of size a and b.
enum class shape : std::uint8_t {
  none,      ///< no code
  op,        ///< [p] b1
  op_r,      ///< [p] b1+r
  op_v,      ///< [p] b1+v
  op_rs,     ///< [p] b1+4r+s
  alu,       ///< [p] b1+4r+s  |  [p] b1+4r+r, v2 as 4 bytes (the register stands twice)
  bit,       ///< b1+4*(bit 4 of v2), 0x80*(bit 3 of v2)+4*(v2 mod 8)+r+b2
  shift,     ///< b1+r  |  p, 16*((v2-1) mod 16)+b2+r
  data3,     ///< bits 23..16, 15..8, 7..0 of v
  ram,       ///< b1+v  |  b2+(bit 8 of v), low byte of v
  jump,      ///< b1, off  |  b2, hi(T), lo(T); an address v in place of T
  addr16,    ///< b1, hi(T), lo(T); an address v in place of T
  bit_jump,  ///< b1, 8*v2+r+b2, off
  skip,      ///< b1+(v mod 4)
  bit_skip,  ///< b1+(n mod 4), 8*v2+r+b2
  swap,      ///< 4r+s while r is 0 or 1, 4s+r for 2 and 3
};

/// No prefix byte.
constexpr std::int16_t NO_PREFIX = -1;

struct encoding_spec {
  shape layout = shape::none;
  std::int16_t prefix = NO_PREFIX;
  std::uint8_t b1 = 0;
  std::uint8_t b2 = 0;
};

/// How many operand values the comment of each code byte shows (0..3), in
/// the form of size a and in that of size b.
struct comment_spec {
  std::uint8_t a = 0;
  std::uint8_t b = 0;
};

/// The part an instruction plays in the jump optimisation.
enum class jump_class : std::uint8_t {
  none,      ///< passed over
  plain,     ///< a jump that widens from size a to b when its target is out of reach
  bit_jump,  ///< out of reach, becomes `becomes` (a bit skip) over a long goto
  skip,      ///< a count that would reach 4 makes it `becomes`, its jump
  bit_skip,  ///< likewise, into its bit jump
  call,      ///< never changes, but its label must stand for a statement
};

struct jump_spec {
  jump_class kind = jump_class::none;
  /// What the jump optimisation turns the statement into, or -1. A skip and
  /// the jump with its condition stand 37 ids apart.
  std::int8_t becomes = -1;

  constexpr bool is_skip() const {
    return kind == jump_class::skip || kind == jump_class::bit_skip;
  }
  /// Bit jumps and bit skips: a rewrite may put a goto after them.
  constexpr bool is_bit_form() const {
    return kind == jump_class::bit_jump || kind == jump_class::bit_skip;
  }
};

/// The statement check that belongs to one instruction alone.
enum class special_rule : std::uint8_t {
  none,
  count1_not_zero,       ///< operand 1 a number 0: "parameter can not be zero"
  count1_not_zero_skip,  ///< the same in the layout of skip's own message
  count2_not_zero,       ///< operand 2 a number 0: "parameter can not be zero"
  count3_not_zero,       ///< operand 3 a number 0: "third parameter can not be zero"
  no_rz_swap,            ///< registers r and z may not swap with each other
};

struct opcode_info {
  opcode_id id;
  const char* mnemonic;  ///< as messages and comments show it
  const char* keyword;   ///< the source word, matched in any letter case
  check_kind check;
  operand_spec op[3];
  size_spec size;
  encoding_spec encoding;
  comment_spec comment;
  jump_spec jump;
  special_rule rule;

  /// The position (0..2) of the operand that names a jump target, or -1.
  constexpr int label_position() const {
    for (int i = 0; i < 3; ++i) {
      if (op[i].kind == operand_kind::label || op[i].kind == operand_kind::label_or_addr) return i;
    }
    return -1;
  }
};

extern const opcode_info opcode_table[OPCODE_COUNT];

/// The row of an opcode id 0..OPCODE_COUNT-1.
inline const opcode_info& opcode_row(int id) { return opcode_table[id]; }

/// The mnemonic of an opcode id, as messages and comments show it.
std::string get_opcode_name(int id);

/// The opcode id of a keyword in any letter case, or -1.
int find_opcode_keyword(std::string_view word);
