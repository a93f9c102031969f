#include "layout/check_jump.h"

#include "check/check_opcode.h"
#include "check/test_program.h"

namespace {

using namespace test_program;

class check_jump_test : public back_end_test {
 protected:
  /// Checks the program (which must pass) and optimises its jumps.
  std::string optimise() {
    EXPECT_EQ(output_of([this] { check_opcode(run); }), "");
    return output_of([this] { check_jump(run); });
  }
  std::string optimise_fatal(int& status) {
    EXPECT_EQ(output_of([this] { check_opcode(run); }), "");
    return fatal_output_of([this] { check_jump(run); }, status);
  }

  /// Builds three statements in front of a far bit jump, each a skip with the
  /// given count or (count 0) a nop, then six statements and a far target.
  struct skip_program {
    opcode_node* before[3];  ///< position 3, 2, 1
    opcode_node* jump;
    opcode_node* after[6];
  };

  skip_program build_skips(int opcode, int count3, int count2, int count1) {
    skip_program p{};
    add(OP_ORG, num(0));
    add(OP_NOP);
    const int counts[3] = {count3, count2, count1};
    for (int i = 0; i < 3; ++i) {
      if (counts[i] == 0) {
        p.before[i] = add(OP_NOP);
      } else if (opcode == OP_SKIPBITC || opcode == OP_SKIPBITS) {
        p.before[i] = add(opcode, reg(X), num(4), num(counts[i]));
      } else {
        p.before[i] = add(opcode, num(counts[i]));
      }
    }
    p.jump = add(OP_GOTOBITC, reg(X), num(1), lbl("far"));
    for (opcode_node*& node : p.after) node = add(OP_NOP);
    nops(200);
    label("far", add(OP_NOP));
    return p;
  }
};

TEST_F(check_jump_test, PlainJumpReachesOneHundredTwentySevenAhead) {
  for (int distance : {127, 128}) {
    SetUp();
    add(OP_ORG, num(0));
    add(OP_GOTOEQ, lbl("far"));
    nops(distance - 2);
    opcode_node* target = add(OP_NOP);
    label("far", target);
    EXPECT_EQ(optimise(), "");
    EXPECT_EQ(run.prog.start_opcode.size, distance == 127 ? 2 : 3) << distance;
    EXPECT_EQ(target->address, distance == 127 ? 127 : 129) << distance;
  }
}

TEST_F(check_jump_test, PlainJumpReachesOneHundredTwentySevenBack) {
  for (int distance : {127, 128}) {
    SetUp();
    add(OP_ORG, num(0));
    label("top", add(OP_NOP));
    nops(distance - 1);
    opcode_node* jump = add(OP_GOTO, lbl("top"));
    opcode_node* after = add(OP_NOP);
    EXPECT_EQ(optimise(), "");
    EXPECT_EQ(jump->address, distance);
    EXPECT_EQ(jump->size, distance == 127 ? 2 : 3) << distance;
    EXPECT_EQ(after->address, distance + jump->size);
  }
}

TEST_F(check_jump_test, BitJumpReachIsOneHundredTwentySixBackAndOneHundredTwentySevenAhead) {
  struct reach {
    int distance;
    bool rewritten;
  };
  for (reach r : {reach{127, false}, reach{128, true}}) {
    SetUp();
    add(OP_ORG, num(0));
    add(OP_GOTOBITC, reg(X), num(1), lbl("far"));
    nops(r.distance - 3);
    label("far", add(OP_NOP));
    EXPECT_EQ(optimise(), "");
    EXPECT_EQ(run.prog.start_opcode.opcode, r.rewritten ? OP_SKIPBITS : OP_GOTOBITC) << r.distance;
  }
  for (reach r : {reach{126, false}, reach{127, true}}) {
    SetUp();
    add(OP_ORG, num(0));
    label("top", add(OP_NOP));
    nops(r.distance - 1);
    opcode_node* jump = add(OP_GOTOBITS, reg(Y), num(2), lbl("top"));
    EXPECT_EQ(optimise(), "");
    EXPECT_EQ(jump->address, r.distance);
    EXPECT_EQ(jump->opcode, r.rewritten ? OP_SKIPBITC : OP_GOTOBITS) << r.distance;
  }
}

TEST_F(check_jump_test, FarBitJumpBecomesSkipOverLongGoto) {
  add(OP_ORG, num(0));
  add(OP_NOP);
  opcode_node* jump = add(OP_GOTOBITC, reg(Z), num(9), lbl("far"));
  opcode_node* after = add(OP_NOP);
  nops(200);
  opcode_node* target = add(OP_NOP);
  label("far", target);
  EXPECT_EQ(optimise(), "");
  EXPECT_EQ(jump->opcode, OP_SKIPBITS);
  EXPECT_EQ(jump->p1_value.num, Z);
  EXPECT_EQ(jump->p2_value.num, 9);
  EXPECT_EQ(jump->p3_kind, PARAM_NUMBER);
  EXPECT_EQ(jump->p3_value.num, 1);
  EXPECT_EQ(jump->size, 2);
  opcode_node* far_jump = jump->next;
  ASSERT_NE(far_jump, after);
  EXPECT_EQ(far_jump->opcode, OP_GOTO);
  EXPECT_EQ(far_jump->address, 3);
  EXPECT_EQ(far_jump->size, 3);
  EXPECT_EQ(far_jump->line, jump->line);
  EXPECT_STREQ(far_jump->file, "t.asm");
  EXPECT_EQ(far_jump->label, nullptr);
  EXPECT_EQ(far_jump->p1_kind, PARAM_LABEL);
  EXPECT_EQ(far_jump->p1_value.target, target);
  EXPECT_EQ(far_jump->p2_kind, PARAM_NONE);
  EXPECT_EQ(far_jump->p3_kind, PARAM_NONE);
  EXPECT_EQ(far_jump->next, after);
  EXPECT_EQ(after->address, 6);
  EXPECT_EQ(target->address, 207);
}

TEST_F(check_jump_test, NumberOperandsAndLongJumpsAreLeftAlone) {
  add(OP_ORG, num(0));
  add(OP_GOTO, num(0));
  add(OP_JSUB, lbl("far"));
  nops(300);
  label("far", add(OP_NOP));
  EXPECT_EQ(optimise(), "");
  EXPECT_EQ(run.prog.start_opcode.opcode, OP_GOTO);
  EXPECT_EQ(run.prog.start_opcode.size, 3);
  EXPECT_EQ(run.prog.start_opcode.next->size, 3);
  EXPECT_EQ(run.prog.start_opcode.prev->address, 306);
}

TEST_F(check_jump_test, WideningCanPushAnEarlierTargetOutOfReach) {
  add(OP_ORG, num(0));
  add(OP_GOTO, lbl("near"));                  // 0, reaches 127 exactly
  nops(60);                                   // 2..61
  opcode_node* middle = add(OP_GOTONE, lbl("far"));  // 62
  nops(63);                                   // 64..126
  opcode_node* near = add(OP_NOP);            // 127
  label("near", near);
  nops(200);
  label("far", add(OP_NOP));
  EXPECT_EQ(optimise(), "");
  EXPECT_EQ(middle->size, 3);
  EXPECT_EQ(run.prog.start_opcode.size, 3);
  EXPECT_EQ(middle->address, 63);
  EXPECT_EQ(near->address, 129);
}

int count_of(const opcode_node* skip) {
  return skip->p3_kind != PARAM_NONE ? skip->p3_value.num : skip->p1_value.num;
}

TEST_F(check_jump_test, SkipsInFrontOfARewrittenBitJumpAreStretched) {
  struct row {
    int position;  // 1 = directly before the bit jump
    int count;
    int expected;
  };
  const row rows[] = {{1, 1, 2}, {1, 2, 3}, {2, 1, 1}, {2, 2, 3}, {3, 1, 1}, {3, 2, 2}};
  for (const row& r : rows) {
    SetUp();
    int counts[3] = {0, 0, 0};
    counts[3 - r.position] = r.count;
    skip_program p = build_skips(OP_SKIPNE, counts[0], counts[1], counts[2]);
    EXPECT_EQ(optimise(), "");
    const opcode_node* skip = p.before[3 - r.position];
    EXPECT_EQ(skip->opcode, OP_SKIPNE);
    EXPECT_EQ(count_of(skip), r.expected) << r.position << "/" << r.count;
    EXPECT_EQ(p.after[0]->address, 1 + 3 + 5);
  }
}

TEST_F(check_jump_test, SkipOfThreeBecomesAJumpToTheFifthStatement) {
  struct row {
    int opcode;
    int position;
    int converted;
    int size;
  };
  const row rows[] = {
      {OP_SKIPEQ, 1, OP_GOTOEQ, 2},      {OP_SKIP, 2, OP_GOTO, 2},
      {OP_SKIPPOS, 3, OP_GOTOPOS, 2},    {OP_SKIPBITC, 1, OP_GOTOBITC, 3},
      {OP_SKIPBITS, 3, OP_GOTOBITS, 3},
  };
  for (const row& r : rows) {
    SetUp();
    int counts[3] = {0, 0, 0};
    counts[3 - r.position] = 3;
    skip_program p = build_skips(r.opcode, counts[0], counts[1], counts[2]);
    EXPECT_EQ(optimise(), "");
    opcode_node* skip = p.before[3 - r.position];
    EXPECT_EQ(skip->opcode, r.converted);
    EXPECT_EQ(skip->size, r.size);
    const bool bit = r.opcode == OP_SKIPBITC || r.opcode == OP_SKIPBITS;
    const param_value& operand = bit ? skip->p3_value : skip->p1_value;
    EXPECT_EQ(bit ? skip->p3_kind : skip->p1_kind, PARAM_LABEL);
    if (bit) {
      EXPECT_EQ(skip->p1_value.num, X);
      EXPECT_EQ(skip->p2_value.num, 4);
    }
    // The rewritten bit jump counts as two statements.
    EXPECT_EQ(operand.target, p.after[3 - r.position]);
    // nop, two nops, the new jump, the bit skip and the long goto.
    EXPECT_EQ(p.after[0]->address, 1 + 2 + r.size + 2 + 3) << r.opcode;
  }
}

TEST_F(check_jump_test, SkipTargetBeyondTheEndIsFatal) {
  add(OP_ORG, num(0));
  label("top", add(OP_NOP));
  nops(200);
  add(OP_SKIPCARS, num(3));
  add(OP_GOTOBITS, reg(X), num(1), lbl("top"));
  nops(2);
  int status = 0;
  EXPECT_EQ(optimise_fatal(status),
            "t.asm Line 203  ERROR: skip target lies beyond the end of the program\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(run.diag.error_count(), 1);
}

TEST_F(check_jump_test, WideningMovesAnOrgSectionOnlyWithoutGap) {
  for (int gap : {0, 1}) {
    SetUp();
    add(OP_ORG, num(0));
    add(OP_GOTO, lbl("far"));
    nops(198);  // 2..199
    add(OP_ORG, num(200 + gap));
    opcode_node* target = add(OP_NOP);
    label("far", target);
    opcode_node* next = add(OP_NOP);
    EXPECT_EQ(optimise(), "");
    EXPECT_EQ(run.prog.start_opcode.size, 3);
    EXPECT_EQ(target->address, 201) << gap;
    EXPECT_EQ(next->address, 202) << gap;
  }
}

TEST_F(check_jump_test, WideningWalkGoesOnPastAGapAndStopsAtAddressZero) {
  add(OP_ORG, num(0));
  add(OP_GOTO, lbl("far"));
  nops(198);                 // 2..199
  add(OP_ORG, num(250));
  opcode_node* far = add(OP_NOP);
  label("far", far);
  add(OP_ORG, num(250));     // overlaps: moved by the walk all the same
  opcode_node* overlap = add(OP_NOP);
  add(OP_ORG, num(0));
  opcode_node* zero = add(OP_NOP);
  opcode_node* after_zero = add(OP_NOP);
  EXPECT_EQ(optimise(), "");
  EXPECT_EQ(far->address, 250);
  EXPECT_EQ(overlap->address, 251);
  EXPECT_EQ(zero->address, 0);
  EXPECT_EQ(after_zero->address, 1);
}

TEST_F(check_jump_test, RewriteWalkStopsAtAnyOrgSection) {
  add(OP_ORG, num(0));
  add(OP_GOTOBITC, reg(X), num(1), lbl("far"));  // line 2
  nops(10);
  add(OP_ORG, num(0x1000));
  label("far", add(OP_NOP));  // line 14
  int status = 0;
  EXPECT_EQ(optimise_fatal(status),
            "t.asm Line 2 ERROR: Jump optimization tried to change an opcode address fixed "
            "with org at line n\xB0 14 in file 't.asm'\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(run.diag.error_count(), 1);
}

TEST_F(check_jump_test, JumpToALabelWithoutStatementIsFatal) {
  add(OP_ORG, num(0));
  add(OP_GOTO, lbl("end"));
  label("end", add(OP_ORG, num(0x10)));
  int status = 0;
  EXPECT_EQ(optimise_fatal(status), "t.asm Line 2  ERROR: jumplabel not found\n");
  EXPECT_EQ(status, 1);

  SetUp();
  add(OP_ORG, num(0));
  add(OP_NOP);
  add(OP_GOTOBITS, reg(X), num(1), lbl("end"));
  label("end", add(OP_ORG, num(0x10)));
  EXPECT_EQ(optimise_fatal(status), "t.asm Line 3  ERROR: jumplabel 'end' not found 1\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(run.diag.error_count(), 1);
}

TEST_F(check_jump_test, EmptyProgramIsLeftAlone) {
  EXPECT_EQ(optimise(), "");
  EXPECT_EQ(run.prog.start_opcode.next, nullptr);
}

}  // namespace
