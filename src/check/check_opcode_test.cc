#include "check/check_opcode.h"

#include "check/test_program.h"

namespace {

using namespace test_program;

class check_opcode_test : public back_end_test {
 protected:
  std::string check() {
    return output_of([this] { check_opcode(run); });
  }
};

TEST_F(check_opcode_test, RefusedOpcodesGetOnlyTheirMessageAndNoSize) {
  const int refused[] = {OP_ADD48R, OP_ADD48X, OP_MOVE48R, OP_MOVE48X,
                         OP_RAMADREXT, OP_SUB48R, OP_SUB48X, OP_SWAP48};
  std::string expected;
  for (int id : refused) {
    add(id, reg(X), reg(Y), lbl("nowhere"));
    expected += "t.asm Line " + std::to_string(next_line - 1) + "  ERROR: opcode not found!!!\n";
  }
  add(OP_NOP);
  EXPECT_EQ(check(), expected);
  EXPECT_EQ(run.diag.error_count(), 8);
  std::vector<opcode_node*> list = program();
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(list[i]->size, 0);
    EXPECT_EQ(list[i]->address, 0);
  }
  EXPECT_EQ(list[8]->address, 0);
  EXPECT_EQ(list[8]->size, 1);
}

TEST_F(check_opcode_test, SizesFollowTheOperands) {
  struct row {
    opcode_node* node;
    int size;
  };
  const row rows[] = {
      {add(OP_GOTO, num(0x100)), 3},        {add(OP_GOTO, lbl("l")), 2},
      {add(OP_JSUB, lbl("l")), 3},          {add(OP_JSUB, num(0x100)), 3},
      {add(OP_RAMADR, num(63)), 1},         {add(OP_RAMADR, num(64)), 2},
      {add(OP_ROTL, reg(X)), 1},            {add(OP_ROTL, reg(X), num(0)), 2},
      {add(OP_SHIFTR, reg(X), num(3)), 2},  {add(OP_ADD, reg(X), reg(Y)), 1},
      {add(OP_ADD, reg(Y), num(5)), 5},     {add(OP_AND, reg(X), reg(Y)), 2},
      {add(OP_NOR, reg(X), num(5)), 6},     {add(OP_EQUAL, num(255)), 3},
      {add(OP_EQUAL1, num(255)), 1},        {add(OP_GOTOBITS, reg(X), num(1), lbl("l")), 3},
      {add(OP_SKIPBITC, reg(X), num(1), num(1)), 2},
      {add(OP_SWAP, reg(X), reg(Y)), 1},    {add(OP_CLRWDT), 2},
  };
  label("l", add(OP_NOP));
  EXPECT_EQ(check(), "");
  int address = 0;
  for (const row& r : rows) {
    EXPECT_EQ(r.node->size, r.size) << "line " << r.node->line;
    EXPECT_EQ(r.node->address, address) << "line " << r.node->line;
    address += r.size;
  }
}

TEST_F(check_opcode_test, MessagesOfOneStatementComeInOrder) {
  add(OP_GOTO);
  add(OP_GOTOEQ, reg(X));
  add(OP_GOTOEQ, num(5));
  add(OP_GOTONE, lbl("nowhere"));
  add(OP_GOTOBITC, reg(X), num(3), num(7));
  add(OP_SKIPBITC, reg(X), num(40), num(0));
  EXPECT_EQ(check(),
            "t.asm Line 1  ERROR: too few parameters for opcode 'goto'\n"
            "t.asm Line 1  ERROR: missing jump label\n"
            "t.asm Line 2  ERROR: wrong type for first parameter in opcode 'gotoEQ'\n"
            "t.asm Line 2  ERROR: missing jump label\n"
            "t.asm Line 3  ERROR: wrong type for first parameter in opcode 'gotoEQ'\n"
            "t.asm Line 3  ERROR: missing jump label\n"
            "t.asm Line 4  ERROR: jump label 'nowhere' does not exist\n"
            "t.asm Line 5  ERROR: wrong type for third parameter in opcode 'gotoBitC'\n"
            "t.asm Line 5  ERROR: missing jump label\n"
            "t.asm Line 6  ERROR: wrong range for second parameter in opcode 'skipBitC'\n"
            "t.asm Line 6  ERROR: third parameter can not be zero\n");
  EXPECT_EQ(run.diag.error_count(), 11);
}

TEST_F(check_opcode_test, AddressFormOfGotoTakesNoLabel) {
  opcode_node* jump = add(OP_GOTO, num(5));
  opcode_node* call = add(OP_JSUB, num(70000));
  EXPECT_EQ(check(), "t.asm Line 2  ERROR: wrong range for first parameter in opcode 'jsub'\n");
  EXPECT_EQ(jump->size, 3);
  EXPECT_EQ(jump->p1_kind, PARAM_NUMBER);
  EXPECT_EQ(jump->p1_value.num, 5);
  EXPECT_EQ(call->size, 3);
}

TEST_F(check_opcode_test, ZeroCounts) {
  add(OP_SKIPEQ, num(0));
  add(OP_SKIPEQ, num(4));
  add(OP_SKIP, num(0));
  opcode_node* shift = add(OP_SHIFTL, reg(X), num(0));
  add(OP_ROTL, reg(X), num(0));
  add(OP_SKIPPOS, num(0));
  add(OP_SKIPCARC, num(0));
  add(OP_SHIFTR, reg(Z), num(0));
  add(OP_SKIPBITS, reg(X), num(1), num(0));
  add(OP_SKIP, reg(X));
  EXPECT_EQ(check(),
            "t.asm Line 1  ERROR: parameter can not be zero\n"
            "t.asm Line 2  ERROR: wrong range for first parameter in opcode 'skipEQ'\n"
            "t.asm  Line:3  ERROR: parameter can not be zero\n"
            "t.asm Line 4  ERROR: parameter can not be zero\n"
            "t.asm Line 6  ERROR: parameter can not be zero\n"
            "t.asm Line 7  ERROR: parameter can not be zero\n"
            "t.asm Line 8  ERROR: parameter can not be zero\n"
            "t.asm Line 9  ERROR: third parameter can not be zero\n"
            "t.asm Line 10  ERROR: wrong type for first parameter in opcode 'skip'\n");
  EXPECT_EQ(shift->size, 2);
}

TEST_F(check_opcode_test, SwapOfRAndZIsRefused) {
  add(OP_SWAP, reg(Z), reg(R));
  add(OP_SWAP, reg(R), reg(Z));
  add(OP_SWAP, reg(R), reg(R));
  add(OP_SWAP, reg(X), reg(R));
  add(OP_SWAP, reg(Z), reg(Z));
  add(OP_SWAP, num(2), num(3));
  EXPECT_EQ(check(),
            "t.asm Line 1  ERROR: swap between registers 'r' and 'z' not supported\n"
            "t.asm Line 2  ERROR: swap between registers 'r' and 'z' not supported\n"
            "t.asm Line 6  ERROR: wrong type for second parameter in opcode 'swap'\n"
            "t.asm Line 6  ERROR: wrong type for first parameter in opcode 'swap'\n");
}

TEST_F(check_opcode_test, LabelsResolveBackwardAndForward) {
  opcode_node* top = add(OP_NOP);
  label("top", top);
  opcode_node* back = add(OP_GOTOPOS, lbl("top"));
  opcode_node* ahead = add(OP_GOTOBITS, reg(X), num(1), lbl("end"));
  opcode_node* call = add(OP_JSUB, lbl("end"));
  opcode_node* end = add(OP_STOP);
  label("end", end);
  EXPECT_EQ(check(), "");
  EXPECT_EQ(back->p1_value.target, top);
  EXPECT_EQ(back->p1_kind, PARAM_LABEL);
  EXPECT_STREQ(back->p1_value.name, "top");
  EXPECT_EQ(ahead->p3_value.target, end);
  EXPECT_EQ(call->p1_value.target, end);
  EXPECT_EQ(end->address, 1 + 2 + 3 + 3);
}

TEST_F(check_opcode_test, EmptyProgramIsLeftAlone) {
  EXPECT_EQ(check(), "");
  EXPECT_EQ(run.prog.start_opcode.next, nullptr);
}

}  // namespace
