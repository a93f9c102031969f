#include "output/encode.h"

#include <deque>
#include <functional>
#include <set>

#include "check/check_opcode.h"
#include "testing/test_program.h"
#include "core/appendf.h"

namespace {

using namespace test_program;

class encode_test : public back_end_test {
 protected:
  /// A one-statement program, sized by the statement check.
  opcode_node* sized(int opcode, operand a = {}, operand b = {}, operand c = {}) {
    run.prog.start_opcode = opcode_node{};
    add(opcode, a, b, c);
    check_opcode(run);
    return &run.prog.start_opcode;
  }

  /// A statement placed by hand, for the jumps.
  opcode_node* placed(int opcode, operand a, operand b, operand c, int address, int size) {
    run.prog.start_opcode = opcode_node{};
    opcode_node* node = add(opcode, a, b, c);
    node->address = address;
    node->size = size;
    return node;
  }

  /// A label operand designating a statement at `address`.
  operand to(int address) {
    opcode_node* target = &targets.emplace_back();
    target->address = address;
    return {PARAM_LABEL, {0, "t", target}};
  }

  std::deque<opcode_node> targets;
};

struct encoded {
  std::string bytes;
  std::string comments;
};

encoded encode_text(const opcode_node* node) {
  encoding code = encode(node);
  encoded out;
  if (!code.known) return {"none", ""};
  const int count = static_cast<int>(code.bytes.size());
  for (int i = 0; i < count; ++i) {
    appendf(out.bytes, i == 0 ? "%02X" : " %02X", code.bytes[i]);
    if (i > 0) out.comments += " | ";
    out.comments += get_hex_string(node, code.form, count - 1 - i);
  }
  return out;
}

struct row {
  std::function<opcode_node*()> build;
  const char* bytes;
  const char* comments;
};

TEST_F(encode_test, EveryInstructionGivesItsBytesAndComments) {
  const row rows[] = {
      {[this] { return sized(OP_ABS, reg(Y)); }, "CB 29", "abs_1 (1) | abs_0 (1)"},
      {[this] { return sized(OP_ADD, reg(X), reg(Y)); }, "21", "add (0,1)"},
      {[this] { return sized(OP_ADD, reg(Y), num(5)); }, "25 00 00 00 05",
       "add_4 (1,5) | add_3 (1,5) | add_2 (1,5) | add_1 (1,5) | add_0 (1,5)"},
      {[this] { return sized(OP_AND, reg(Z), reg(Y)); }, "CB 89", "and_1 (2,1) | and_0 (2,1)"},
      {[this] { return sized(OP_AND, reg(Z), num(0x0F0F)); }, "CB 8A 00 00 0F 0F",
       "and_5 (2,3855) | and_4 (2,3855) | and_3 (2,3855) | and_2 (2,3855) | and_1 (2,3855) | "
       "and_0 (2,3855)"},
      {[this] { return sized(OP_BITCLR, reg(R), num(31)); }, "F5 9F",
       "bitclr_1 (3,31) | bitclr_0 (3,31)"},
      {[this] { return sized(OP_BITINV, reg(X), num(8)); }, "F1 E0",
       "bitinv_1 (0,8) | bitinv_0 (0,8)"},
      {[this] { return sized(OP_BITSET, reg(Y), num(21)); }, "F5 35",
       "bitset_1 (1,21) | bitset_0 (1,21)"},
      {[this] { return sized(OP_BYTEDIR, num(1)); }, "E5", "bytedir (1)"},
      {[this] { return sized(OP_BYTESEL, num(7)); }, "DF", "bytesel (7)"},
      {[this] { return sized(OP_CLEAR, reg(Z)); }, "0A", "clear (2)"},
      {[this] { return sized(OP_CLKMODE, num(1)); }, "CB 15", "clkmode_1 () | clkmode_0 ()"},
      {[this] { return sized(OP_CLRC); }, "C8", "clrC ()"},
      {[this] { return sized(OP_CLRWDT); }, "CB 01", "clrwdt_1 () | clrwdt_0 ()"},
      {[this] { return sized(OP_COMPARE, reg(R), reg(X)); }, "1C", "compare (3,0)"},
      {[this] { return sized(OP_COMPARE, reg(X), num(-1)); }, "10 FF FF FF FF",
       "compare_4 (0,-1) | compare_3 (0,-1) | compare_2 (0,-1) | compare_1 (0,-1) | "
       "compare_0 (0,-1)"},
      {[this] { return sized(OP_COMPL, reg(R)); }, "CB 23", "compl_1 (3) | compl_0 (3)"},
      {[this] { return sized(OP_DECR, reg(Y)); }, "FD", "decr (1)"},
      {[this] { return sized(OP_DECRAMADR); }, "F4", "decramadr ()"},
      {[this] { return sized(OP_DIV, reg(Y), reg(Z)); }, "CB 66", "div_1 (1,2) | div_0 (1,2)"},
      {[this] { return sized(OP_DIVMOD, reg(R), reg(R)); }, "CB 7F",
       "divmod_1 (3,3) | divmod_0 (3,3)"},
      {[this] { return sized(OP_EOR, reg(X), reg(Y)); }, "CB E1", "eor_1 (0,1) | eor_0 (0,1)"},
      {[this] { return sized(OP_EOR, reg(Y), num(256)); }, "CB E5 00 00 01 00",
       "eor_5 (1,256) | eor_4 (1,256) | eor_3 (1,256) | eor_2 (1,256) | eor_1 (1,256) | "
       "eor_0 (1,256)"},
      {[this] { return sized(OP_EORN, reg(Z), reg(X)); }, "CB F8", "eorn_1 (2,0) | eorn_0 (2,0)"},
      {[this] { return sized(OP_EORN, reg(R), num(1)); }, "CB FF 00 00 00 01",
       "eorn_5 (3,1) | eorn_4 (3,1) | eorn_3 (3,1) | eorn_2 (3,1) | eorn_1 (3,1) | "
       "eorn_0 (3,1)"},
      {[this] { return sized(OP_EQUAL, num(300)); }, "00 01 2C",
       "equal_2 (300) | equal_1 (300) | equal_0 (300)"},
      {[this] { return sized(OP_EQUAL, num(-2)); }, "FF FF FE",
       "equal_2 (-2) | equal_1 (-2) | equal_0 (-2)"},
      {[this] { return sized(OP_EQUAL1, num(0x7F)); }, "7F", "equal (127)"},
      {[this] { return sized(OP_GETFLAG, reg(R)); }, "0F", "getflag (3)"},
      {[this] { return sized(OP_GETRAMADR); }, "F7", "getramadr (0)"},
      {[this] { return sized(OP_REVFWA); }, "CB 02", "revfwa_1 () | revfwa_0 ()"},
      {[this] { return sized(OP_REVFWU); }, "CB 04", "revfwu_1 () | revfwu_0 ()"},
      {[this] { return placed(OP_GOTO, to(0x08), {}, {}, 0x10, 2); }, "64 F7",
       "goto_1 (8) | goto_0 (8)"},
      {[this] { return placed(OP_GOTO, to(300), {}, {}, 0x10, 3); }, "C9 01 2C",
       "goto_2 (300) | goto_1 (300) | goto_0 (300)"},
      {[this] { return sized(OP_GOTO, num(0x1234)); }, "C9 12 34",
       "goto_2 (4660) | goto_1 (4660) | goto_0 (4660)"},
      {[this] { return placed(OP_GOTOBITC, reg(X), num(3), to(0x20), 0, 3); }, "60 18 1E",
       "gotoBitC_2 (0,3,32) | gotoBitC_1 (0,3,32) | gotoBitC_0 (0,3,32)"},
      {[this] { return placed(OP_GOTOBITS, reg(Z), num(9), to(0x20), 0x10, 3); }, "60 4E 0E",
       "gotoBitS_2 (2,9,32) | gotoBitS_1 (2,9,32) | gotoBitS_0 (2,9,32)"},
      {[this] { return placed(OP_GOTOCARC, to(0x110), {}, {}, 0x100, 2); }, "40 0F",
       "gotoCarC_1 (272) | gotoCarC_0 (272)"},
      {[this] { return placed(OP_GOTOCARC, to(0x456), {}, {}, 0x100, 3); }, "68 04 56",
       "gotoCarC_2 (1110) | gotoCarC_1 (1110) | gotoCarC_0 (1110)"},
      {[this] { return placed(OP_GOTOCARS, to(0x100), {}, {}, 0x100, 2); }, "50 FF",
       "gotoCarS_1 (256) | gotoCarS_0 (256)"},
      {[this] { return placed(OP_GOTOCARS, to(0x456), {}, {}, 0x100, 3); }, "6C 04 56",
       "gotoCarS_2 (1110) | gotoCarS_1 (1110) | gotoCarS_0 (1110)"},
      {[this] { return placed(OP_GOTOEQ, to(0x17F), {}, {}, 0x100, 2); }, "48 7E",
       "gotoEQ_1 (383) | gotoEQ_0 (383)"},
      {[this] { return placed(OP_GOTOEQ, to(0x456), {}, {}, 0x100, 3); }, "6A 04 56",
       "gotoEQ_2 (1110) | gotoEQ_1 (1110) | gotoEQ_0 (1110)"},
      {[this] { return placed(OP_GOTONE, to(0x81), {}, {}, 0x100, 2); }, "58 80",
       "gotoNE_1 (129) | gotoNE_0 (129)"},
      {[this] { return placed(OP_GOTONE, to(0x456), {}, {}, 0x100, 3); }, "6E 04 56",
       "gotoNE_2 (1110) | gotoNE_1 (1110) | gotoNE_0 (1110)"},
      {[this] { return placed(OP_GOTONEG, to(0x102), {}, {}, 0x100, 2); }, "5C 01",
       "gotoNeg_1 (258) | gotoNeg_0 (258)"},
      {[this] { return placed(OP_GOTONEG, to(0x456), {}, {}, 0x100, 3); }, "6F 04 56",
       "gotoNeg_2 (1110) | gotoNeg_1 (1110) | gotoNeg_0 (1110)"},
      {[this] { return placed(OP_GOTOOVRC, to(0x102), {}, {}, 0x100, 2); }, "44 01",
       "gotoOvrC_1 (258) | gotoOvrC_0 (258)"},
      {[this] { return placed(OP_GOTOOVRC, to(0x456), {}, {}, 0x100, 3); }, "69 04 56",
       "gotoOvrC_2 (1110) | gotoOvrC_1 (1110) | gotoOvrC_0 (1110)"},
      {[this] { return placed(OP_GOTOOVRS, to(0x102), {}, {}, 0x100, 2); }, "54 01",
       "gotoOvrS_1 (258) | gotoOvrS_0 (258)"},
      {[this] { return placed(OP_GOTOOVRS, to(0x456), {}, {}, 0x100, 3); }, "6D 04 56",
       "gotoOvrS_2 (1110) | gotoOvrS_1 (1110) | gotoOvrS_0 (1110)"},
      {[this] { return placed(OP_GOTOPOS, to(0x102), {}, {}, 0x100, 2); }, "4C 01",
       "gotoPos_1 (258) | gotoPos_0 (258)"},
      {[this] { return placed(OP_GOTOPOS, to(0x456), {}, {}, 0x100, 3); }, "6B 04 56",
       "gotoPos_2 (1110) | gotoPos_1 (1110) | gotoPos_0 (1110)"},
      {[this] { return sized(OP_I2CCLK); }, "F6", "i2cclk (0)"},
      {[this] { return sized(OP_I2CREQ, num(1)); }, "E9", "i2creq (1)"},
      {[this] { return sized(OP_I2CRW, num(1)); }, "EB", "i2crw (1)"},
      {[this] { return sized(OP_INCR, reg(X)); }, "F8", "incr (0)"},
      {[this] { return sized(OP_INCRAMADR); }, "F0", "incramadr ()"},
      {[this] { return sized(OP_INVERT, reg(Z)); }, "CB 26", "invert_1 (2) | invert_0 (2)"},
      {[this] { return sized(OP_JSUB, num(0x1234)); }, "CA 12 34",
       "jsub_2 (4660) | jsub_1 (4660) | jsub_0 (4660)"},
      {[this] { return placed(OP_JSUB, to(0x456), {}, {}, 0, 3); }, "CA 04 56",
       "jsub_2 (1110) | jsub_1 (1110) | jsub_0 (1110)"},
      {[this] { return sized(OP_JSUBRET); }, "CF", "jsubret ()"},
      {[this] { return sized(OP_MCTEN, num(1)); }, "CB 13", "mcten_1 (1) | mcten_0 (1)"},
      {[this] { return sized(OP_MOVE, reg(X), reg(Y)); }, "71", "move (0,1)"},
      {[this] { return sized(OP_MOVE, reg(R), num(-1)); }, "7F FF FF FF FF",
       "move_4 (3,-1) | move_3 (3,-1) | move_2 (3,-1) | move_1 (3,-1) | move_0 (3,-1)"},
      {[this] { return sized(OP_MULT, reg(Z), reg(Y)); }, "CB 59", "mult_1 (2,1) | mult_0 (2,1)"},
      {[this] { return sized(OP_NAND, reg(X), reg(R)); }, "CB 93", "nand_1 (0,3) | nand_0 (0,3)"},
      {[this] { return sized(OP_NAND, reg(Y), num(2)); }, "CB 95 00 00 00 02",
       "nand_5 (1,2) | nand_4 (1,2) | nand_3 (1,2) | nand_2 (1,2) | nand_1 (1,2) | "
       "nand_0 (1,2)"},
      {[this] { return sized(OP_NOP); }, "00", "nop ()"},
      {[this] { return sized(OP_NOR, reg(R), reg(Z)); }, "CB BE", "nor_1 (3,2) | nor_0 (3,2)"},
      {[this] { return sized(OP_NOR, reg(X), num(0x12345678)); }, "CB B0 12 34 56 78",
       "nor_5 (0,305419896) | nor_4 (0,305419896) | nor_3 (0,305419896) | "
       "nor_2 (0,305419896) | nor_1 (0,305419896) | nor_0 (0,305419896)"},
      {[this] { return sized(OP_OR, reg(Y), reg(X)); }, "CB A4", "or_1 (1,0) | or_0 (1,0)"},
      {[this] { return sized(OP_OR, reg(Z), num(0x80)); }, "CB AA 00 00 00 80",
       "or_5 (2,128) | or_4 (2,128) | or_3 (2,128) | or_2 (2,128) | or_1 (2,128) | "
       "or_0 (2,128)"},
      {[this] { return sized(OP_RAMADR, num(63)); }, "BF", "ramadr (63)"},
      {[this] { return sized(OP_RAMADR, num(64)); }, "F2 40", "ramadr_1 (64) | ramadr_0 (64)"},
      {[this] { return sized(OP_RAMADR, num(300)); }, "F3 2C", "ramadr_1 (300) | ramadr_0 (300)"},
      {[this] { return sized(OP_ROTL, reg(Y), num(3)); }, "CE 2D", "rotL_1 (1,3) | rotL_0 (1,3)"},
      {[this] { return sized(OP_ROTL, reg(X), num(0)); }, "CE FC", "rotL_1 (0,0) | rotL_0 (0,0)"},
      {[this] { return sized(OP_ROTL, reg(Y)); }, "D5", "rotL (1)"},
      {[this] { return sized(OP_ROTR, reg(Z), num(1)); }, "CE 06", "rotR_1 (2,1) | rotR_0 (2,1)"},
      {[this] { return sized(OP_ROTR, reg(R)); }, "C7", "rotR (3)"},
      {[this] { return sized(OP_SETC); }, "CC", "setC ()"},
      {[this] { return sized(OP_SHIFTL, reg(Y), num(15)); }, "CE E9",
       "shiftL_1 (1,15) | shiftL_0 (1,15)"},
      {[this] { return sized(OP_SHIFTL, reg(X)); }, "D0", "shiftL (0)"},
      {[this] { return sized(OP_SHIFTR, reg(R), num(2)); }, "CE 13",
       "shiftR_1 (3,2) | shiftR_0 (3,2)"},
      {[this] { return sized(OP_SHIFTR, reg(Z)); }, "C2", "shiftR (2)"},
      {[this] { return sized(OP_SIGN, reg(Y)); }, "CB 2D", "sign_1 (1) | sign_0 (1)"},
      {[this] { return sized(OP_SKIP, num(1)); }, "65", "skip (1)"},
      {[this] { return sized(OP_SKIPBITC, reg(Y), num(3), num(1)); }, "61 19",
       "skipBitC_1 (1,3,1) | skipBitC_0 (1,3,1)"},
      {[this] { return sized(OP_SKIPBITS, reg(R), num(31), num(3)); }, "63 FF",
       "skipBitS_1 (3,31,3) | skipBitS_0 (3,31,3)"},
      {[this] { return sized(OP_SKIPCARC, num(1)); }, "41", "skipCarC (1)"},
      {[this] { return sized(OP_SKIPCARS, num(2)); }, "52", "skipCarS (2)"},
      {[this] { return sized(OP_SKIPEQ, num(2)); }, "4A", "skipEQ (2)"},
      {[this] { return sized(OP_SKIPNE, num(3)); }, "5B", "skipNE (3)"},
      {[this] { return sized(OP_SKIPNEG, num(1)); }, "5D", "skipNeg (1)"},
      {[this] { return sized(OP_SKIPOVRC, num(2)); }, "46", "skipOvrC (2)"},
      {[this] { return sized(OP_SKIPOVRS, num(3)); }, "57", "skipOvrS (3)"},
      {[this] { return sized(OP_SKIPPOS, num(1)); }, "4D", "skipPos (1)"},
      {[this] { return sized(OP_STOP); }, "CD", "stop ()"},
      {[this] { return sized(OP_SUB, reg(Z), reg(R)); }, "3B", "sub (2,3)"},
      {[this] { return sized(OP_SUB, reg(X), num(7)); }, "30 00 00 00 07",
       "sub_4 (0,7) | sub_3 (0,7) | sub_2 (0,7) | sub_1 (0,7) | sub_0 (0,7)"},
      {[this] { return sized(OP_SWAP, reg(X), reg(Y)); }, "01", "swap (0,1)"},
      {[this] { return sized(OP_SWAP, reg(Y), reg(X)); }, "04", "swap (1,0)"},
      {[this] { return sized(OP_SWAP, reg(Z), reg(X)); }, "02", "swap (2,0)"},
      {[this] { return sized(OP_SWAP, reg(X), reg(Z)); }, "02", "swap (0,2)"},
      {[this] { return sized(OP_SWAP, reg(R), reg(Y)); }, "07", "swap (3,1)"},
  };
  std::vector<bool> covered(OPCODE_COUNT, false);
  for (const row& r : rows) {
    const opcode_node* node = r.build();
    ASSERT_EQ(run.diag.error_count(), 0) << get_opcode_name(node->opcode);
    covered[node->opcode] = true;
    encoded got = encode_text(node);
    EXPECT_EQ(got.bytes, r.bytes) << get_opcode_name(node->opcode) << " line " << node->line;
    EXPECT_EQ(got.comments, r.comments) << get_opcode_name(node->opcode);
    EXPECT_EQ(static_cast<int>(encode(node).bytes.size()), node->size);
  }
  int encodable = 0;
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    if (opcode_table[id].check == check_kind::REFUSED || id == OP_ORG) continue;
    ++encodable;
    EXPECT_TRUE(covered[id]) << get_opcode_name(id);
  }
  EXPECT_EQ(encodable, 73);
}

/// One operand for each way a position of a signature can be written, so
/// that every size of a row comes up.
std::vector<operand> ways_to_write(const opcode_info& row, int position) {
  const operand label{PARAM_LABEL, {}};  // named once the run is made
  const operand_spec& spec = row.op[position];
  const auto largest = num(static_cast<std::int32_t>(spec.bound));
  switch (spec.kind) {
    case operand_kind::none: return {operand{}};
    case operand_kind::reg: return {reg(position == 0 ? X : Y)};
    case operand_kind::number:
      if (row.size.rule == size_rule::value) {
        return {num(1), num(row.size.limit), num(row.size.limit + 1), largest};
      }
      return {num(1), largest};
    case operand_kind::label: return {label};
    case operand_kind::label_or_addr: return {label, num(0), largest};
    case operand_kind::reg_or_number: return {reg(Y), num(0), num(-1)};
    case operand_kind::opt_number: return {operand{}, num(1), largest};
  }
  return {};
}

TEST_F(encode_test, EveryRowGivesExactlyItsSizeInBytesInEveryForm) {
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    const opcode_info& row = opcode_row(id);
    if (row.size.rule == size_rule::none) continue;
    SCOPED_TRACE(row.mnemonic);
    std::set<int> sizes;
    for (const operand& a : ways_to_write(row, 0)) {
      for (const operand& b : ways_to_write(row, 1)) {
        for (const operand& c : ways_to_write(row, 2)) {
          SetUp();
          operand written_as[3] = {a, b, c};
          for (operand& o : written_as) {
            if (o.kind == PARAM_LABEL) o = lbl("target");
          }
          opcode_node* written = add(id, written_as[0], written_as[1], written_as[2]);
          label("target", written);
          ASSERT_EQ(output_of([this] { check_opcode(run); }), "");
          opcode_node* node = &run.prog.start_opcode;
          EXPECT_TRUE(node->size == row.size.a || node->size == row.size.b) << node->size;
          encoding code = encode(node);
          EXPECT_TRUE(code.known);
          EXPECT_EQ(static_cast<int>(code.bytes.size()), node->size);
          EXPECT_LE(code.form, 3);
          sizes.insert(node->size);
          if (row.jump.kind == jump_class::plain && node->p1_kind == PARAM_LABEL) {
            node->size = row.size.b;  // widened by the jump optimisation
            EXPECT_EQ(static_cast<int>(encode(node).bytes.size()), row.size.b);
            sizes.insert(node->size);
          }
        }
      }
    }
    EXPECT_EQ(sizes, (std::set<int>{row.size.a, row.size.b}));
  }
}

TEST_F(encode_test, IdsWithoutEncodingGiveNoBytes) {
  for (int id : {OP_ADD48R, OP_ADD48X, OP_MOVE48R, OP_MOVE48X, OP_ORG, OP_RAMADREXT, OP_SUB48R,
                 OP_SUB48X, OP_SWAP48}) {
    opcode_node* node = placed(id, reg(X), reg(Y), {}, 0, 0);
    encoding code = encode(node);
    EXPECT_FALSE(code.known) << id;
    EXPECT_TRUE(code.bytes.empty());
  }
}

}  // namespace
