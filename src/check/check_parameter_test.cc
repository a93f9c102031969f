#include "check/check_parameter.h"

#include "check/check_opcode.h"
#include "check/test_program.h"

namespace {

using namespace test_program;

class check_parameter_test : public back_end_test {
 protected:
  /// Checks a one-statement program and returns the messages.
  std::string check(int opcode, operand a = {}, operand b = {}, operand c = {}) {
    run.prog.start_opcode = opcode_node{};
    add(opcode, a, b, c);
    return output_of([this] { check_opcode(run); });
  }
};

TEST_F(check_parameter_test, CountMessagesComeAloneAndTooManyWins) {
  EXPECT_EQ(check(OP_BITSET, reg(X)),
            "t.asm Line 1  ERROR: too few parameters for opcode 'bitset'\n");
  EXPECT_EQ(check(OP_NOP, reg(X)), "t.asm Line 2  ERROR: too many parameters for opcode 'nop'\n");
  EXPECT_EQ(run.diag.error_count(), 2);

  // An operand where none belongs and a missing one: only "too many".
  opcode_node node = *add(OP_NOP);
  node.p1_kind = PARAM_NONE;
  node.p3_kind = PARAM_NUMBER;
  EXPECT_EQ(output_of([&] {
              check_parameter(run.diag, &node, 5, PARAM_NUMBER, 0, PARAM_NONE, 0, PARAM_NONE);
            }),
            "t.asm Line 3  ERROR: too many parameters for opcode 'nop'\n");
}

TEST_F(check_parameter_test, KindsAreReportedLastPositionFirstAndStopTheRangeTest) {
  EXPECT_EQ(check(OP_DIV, num(5), num(6)),
            "t.asm Line 1  ERROR: wrong type for second parameter in opcode 'div'\n"
            "t.asm Line 1  ERROR: wrong type for first parameter in opcode 'div'\n");
  EXPECT_EQ(run.diag.error_count(), 2);
  EXPECT_EQ(check(OP_BITSET, reg(X), reg(Y)),
            "t.asm Line 2  ERROR: wrong type for second parameter in opcode 'bitset'\n");
  EXPECT_EQ(check(OP_BITSET, num(5), num(40)),
            "t.asm Line 3  ERROR: wrong type for first parameter in opcode 'bitset'\n");
  EXPECT_EQ(check(OP_BYTESEL, lbl("LIMIT")),
            "t.asm Line 4  ERROR: wrong type for first parameter in opcode 'bytesel'\n");
}

TEST_F(check_parameter_test, EveryRangeFailureIsReportedLastPositionFirst) {
  EXPECT_EQ(check(OP_SKIPBITC, reg(X), num(40), num(5)),
            "t.asm Line 1  ERROR: wrong range for third parameter in opcode 'skipBitC'\n"
            "t.asm Line 1  ERROR: wrong range for second parameter in opcode 'skipBitC'\n");
  // Bounds are tested on the value read as unsigned.
  EXPECT_EQ(check(OP_BYTESEL, num(-1)),
            "t.asm Line 2  ERROR: wrong range for first parameter in opcode 'bytesel'\n");
  EXPECT_EQ(check(OP_EQUAL1, num(256)),
            "t.asm Line 3  ERROR: wrong range for first parameter in opcode 'equal'\n");
  EXPECT_EQ(check(OP_EQUAL1, num(255)), "");
  EXPECT_EQ(check(OP_EQUAL, num(-1)), "");
  EXPECT_EQ(check(OP_BITCLR, reg(R), num(31)), "");
  EXPECT_EQ(check(OP_ORG, num(65536)),
            "t.asm Line 7  ERROR: wrong range for first parameter in opcode 'org'\n");
}

TEST_F(check_parameter_test, RegisterOrNumberCheck) {
  EXPECT_EQ(check(OP_ADD, num(5), num(6)),
            "t.asm Line 1  ERROR: wrong type for first parameter in opcode 'add'\n");
  EXPECT_EQ(check(OP_MOVE, reg(X), num(999)), "");
  EXPECT_EQ(check(OP_MOVE, reg(X), num(-1)), "");
  EXPECT_EQ(check(OP_AND, reg(X)), "t.asm Line 4  ERROR: too few parameters for opcode 'and'\n");
  EXPECT_EQ(check(OP_SUB, reg(X), num(1), lbl("a")),
            "t.asm Line 5  ERROR: too many parameters for opcode 'sub'\n");
  EXPECT_EQ(check(OP_OR, lbl("a")), "t.asm Line 6  ERROR: too few parameters for opcode 'or'\n");

  opcode_node node = *add(OP_EOR);
  node.p1_kind = PARAM_NUMBER;
  node.p2_kind = PARAM_LABEL;
  EXPECT_EQ(output_of([&] { check_parameter2(run.diag, &node); }),
            "t.asm Line 7  ERROR: wrong type for second parameter in opcode 'eor'\n"
            "t.asm Line 7  ERROR: wrong type for first parameter in opcode 'eor'\n");
}

TEST_F(check_parameter_test, OptionalCountCheck) {
  EXPECT_EQ(check(OP_ROTL, reg(X), reg(Y)),
            "t.asm Line 1  ERROR: wrong type for second parameter in opcode 'rotL'\n");
  EXPECT_EQ(check(OP_ROTL, num(3)),
            "t.asm Line 2  ERROR: wrong type for first parameter in opcode 'rotL'\n");
  EXPECT_EQ(check(OP_ROTR, reg(X), num(16)),
            "t.asm Line 3  ERROR: wrong range for second parameter in opcode 'rotR'\n");
  EXPECT_EQ(check(OP_SHIFTR, reg(X), num(-1)),
            "t.asm Line 4  ERROR: wrong range for second parameter in opcode 'shiftR'\n");
  EXPECT_EQ(check(OP_ROTL, reg(X)), "");
  EXPECT_EQ(check(OP_ROTL, reg(X), num(15)), "");
  EXPECT_EQ(check(OP_SHIFTL), "t.asm Line 7  ERROR: too few parameters for opcode 'shiftL'\n");
  EXPECT_EQ(check(OP_SHIFTL, reg(X), num(1), num(2)),
            "t.asm Line 8  ERROR: too many parameters for opcode 'shiftL'\n");
  EXPECT_EQ(check(OP_ROTL, num(1), reg(X)),
            "t.asm Line 9  ERROR: wrong type for second parameter in opcode 'rotL'\n"
            "t.asm Line 9  ERROR: wrong type for first parameter in opcode 'rotL'\n");
}

}  // namespace
