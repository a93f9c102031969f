#include "layout/address.h"

#include "check/check_opcode.h"
#include "check/test_program.h"

namespace {

using namespace test_program;

class address_test : public back_end_test {
 protected:
  std::string check() {
    return output_of([this] { check_opcode(run); });
  }
};

TEST_F(address_test, LeadingOrgHandsTheHeadToTheFirstStatement) {
  add(OP_ORG, num(0));
  opcode_node* first = add(OP_MOVE, reg(X), num(7));
  label("first", first);
  add(OP_NOP);
  opcode_node* jump = add(OP_GOTO, lbl("first"));
  EXPECT_EQ(check(), "");
  std::vector<opcode_node*> list = program();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(run.prog.start_opcode.opcode, OP_MOVE);
  EXPECT_EQ(run.prog.start_opcode.line, 2);
  EXPECT_EQ(run.prog.start_opcode.address, 0);
  EXPECT_EQ(run.prog.start_opcode.org_fixed, 1);
  EXPECT_EQ(run.prog.start_opcode.size, 5);
  EXPECT_STREQ(run.prog.start_opcode.label->name, "first");
  EXPECT_EQ(run.prog.start_opcode.label->statement, &run.prog.start_opcode);
  EXPECT_EQ(run.prog.start_opcode.label->address, 5);
  EXPECT_EQ(list[1]->address, 5);
  EXPECT_EQ(list[1]->org_fixed, 0);
  EXPECT_EQ(list[2], jump);
  EXPECT_EQ(jump->address, 6);
  EXPECT_EQ(jump->p1_value.target, &run.prog.start_opcode);
}

TEST_F(address_test, OrgSectionsSetTheCounterAndLeaveTheList) {
  add(OP_ORG, num(0));
  add(OP_NOP);
  add(OP_ORG, num(0x100));
  opcode_node* section = add(OP_CLRWDT);
  opcode_node* after = add(OP_NOP);
  add(OP_ORG, num(0x200));
  add(OP_ORG, num(0x300));
  opcode_node* last = add(OP_NOP);
  add(OP_ORG, num(0x400));
  EXPECT_EQ(check(), "");
  std::vector<opcode_node*> list = program();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[1], section);
  EXPECT_EQ(section->address, 0x100);
  EXPECT_EQ(section->org_fixed, 1);
  EXPECT_EQ(after->address, 0x102);
  EXPECT_EQ(after->org_fixed, 0);
  EXPECT_EQ(list[3], last);
  EXPECT_EQ(last->address, 0x300);
  EXPECT_EQ(last->org_fixed, 1);
  // A trailing ORG marks nothing: the head keeps its own flag only.
  EXPECT_EQ(run.prog.start_opcode.address, 0);
}

TEST_F(address_test, OrgsInARowAtTheStartActAsOne) {
  add(OP_ORG, num(0));
  add(OP_ORG, num(0x100));
  add(OP_ORG, num(0x180));
  opcode_node* first = add(OP_NOP);
  label("here", first);
  add(OP_NOP);
  EXPECT_EQ(check(), "");
  std::vector<opcode_node*> list = program();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(run.prog.start_opcode.opcode, OP_NOP);
  EXPECT_EQ(run.prog.start_opcode.address, 0x180);
  EXPECT_EQ(run.prog.start_opcode.org_fixed, 1);
  EXPECT_EQ(run.prog.start_opcode.label->statement, &run.prog.start_opcode);
  EXPECT_EQ(list[1]->address, 0x181);
}

TEST_F(address_test, LabelsAtOrgDirectivesDesignateTheNextStatement) {
  opcode_node* org0 = add(OP_ORG, num(0));
  jumplabel_node* at_start = label("at_start", org0);
  add(OP_NOP);
  opcode_node* org1 = add(OP_ORG, num(0x10));
  jumplabel_node* at_org = label("at_org", org1);
  opcode_node* org2 = add(OP_ORG, num(0x20));
  jumplabel_node* second = label("second", org2);
  opcode_node* target = add(OP_NOP);
  opcode_node* org3 = add(OP_ORG, num(0x30));
  jumplabel_node* own = label("own", org3);
  opcode_node* labelled = add(OP_NOP);
  jumplabel_node* its_own = label("its_own", labelled);
  opcode_node* jump = add(OP_GOTO, lbl("at_org"));
  opcode_node* jump2 = add(OP_GOTO, lbl("own"));
  opcode_node* jump3 = add(OP_GOTO, lbl("at_start"));
  opcode_node* tail = add(OP_ORG, num(0x40));
  jumplabel_node* before_jump = label("before_jump", tail);
  opcode_node* jump4 = add(OP_GOTO, lbl("before_jump"));
  add(OP_ORG, num(0x50));

  EXPECT_EQ(check(), "");
  EXPECT_EQ(at_start->statement, &run.prog.start_opcode);
  EXPECT_EQ(run.prog.start_opcode.label, at_start);
  EXPECT_EQ(at_org->statement, target);
  EXPECT_EQ(second->statement, target);
  EXPECT_EQ(target->label, at_org);
  EXPECT_EQ(own->statement, labelled);
  EXPECT_EQ(labelled->label, its_own);
  EXPECT_EQ(jump->p1_value.target, target);
  EXPECT_EQ(jump2->p1_value.target, labelled);
  EXPECT_EQ(jump3->p1_value.target, &run.prog.start_opcode);
  EXPECT_EQ(before_jump->statement, jump4);
  EXPECT_EQ(jump4->label, before_jump);
  EXPECT_EQ(jump4->p1_value.target, jump4);
}

TEST_F(address_test, LabelAtAFinalOrgDesignatesNothing) {
  add(OP_ORG, num(0));
  add(OP_GOTO, lbl("end"));
  opcode_node* org = add(OP_ORG, num(0x10));
  jumplabel_node* end = label("end", org);
  EXPECT_EQ(check(), "");
  EXPECT_EQ(end->statement, nullptr);
  EXPECT_EQ(run.prog.start_opcode.opcode, OP_GOTO);
  EXPECT_EQ(run.prog.start_opcode.p1_value.target, nullptr);
  EXPECT_EQ(run.prog.start_opcode.next, &run.prog.start_opcode);
}

TEST_F(address_test, ProgramOfOrgDirectivesOnlyIsEmpty) {
  opcode_node* org = add(OP_ORG, num(0));
  jumplabel_node* start = label("start", org);
  add(OP_ORG, num(0x100));
  EXPECT_EQ(check(), "");
  EXPECT_EQ(run.prog.start_opcode.next, nullptr);
  EXPECT_EQ(start->statement, nullptr);
  EXPECT_TRUE(program().empty());
}

TEST_F(address_test, UpdateJumpRedirectsEveryLabelOfARecord) {
  opcode_node* a = add(OP_NOP);
  opcode_node* b = add(OP_NOP);
  jumplabel_node* one = label("one", b);
  jumplabel_node* two = run.prog.add_jumplabel("t.asm", 9, "two");
  two->statement = b;
  jumplabel_node* other = label("other", a);
  update_jump(run.prog, b, a);
  EXPECT_EQ(one->statement, a);
  EXPECT_EQ(two->statement, a);
  EXPECT_EQ(other->statement, a);
}

}  // namespace
