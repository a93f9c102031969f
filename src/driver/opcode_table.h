// The ZR17 instruction set: one entry per opcode id 0..81.
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
  P3,       ///< check_parameter3: register, then an optional count 0..15
  REFUSED,  ///< not supported: refused before any operand check
};

/// What one operand position of a P-checked instruction takes.
enum class operand_spec : std::uint8_t {
  none,           ///< must be empty
  reg,            ///< a register
  number,         ///< a number up to the position's bound
  label,          ///< a jump-label name
  label_or_addr,  ///< goto/jsub: a label, or a number 0..65535 (the address form)
};

/// Bound of a number that may take any value.
constexpr std::uint32_t ANY = 0xFFFFFFFFu;

struct opcode_info {
  const char* mnemonic;
  const char* keyword;
  check_kind check;
  operand_spec op[3];
  std::uint32_t bound[3];
  /// Code size; for rows with two sizes the one with a register (or without
  /// a count, a small value, a label) as operand.
  int size;
  /// The other size of two-size rows; equal to `size` elsewhere.
  int size_alt;
};

extern const opcode_info opcode_table[OPCODE_COUNT];

/// The mnemonic of an opcode id, as messages and comments show it.
std::string get_opcode_name(int id);

/// The opcode id of a keyword in any letter case, or -1.
int find_opcode_keyword(std::string_view word);

/// Skips 65..75 and gotos 28..38 test the same condition 37 ids apart.
constexpr int SKIP_TO_GOTO = OP_SKIP - OP_GOTO;

inline bool is_skip(int id) { return id >= OP_SKIP && id <= OP_SKIPPOS; }
