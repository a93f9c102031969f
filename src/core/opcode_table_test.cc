#include "core/opcode_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

namespace {

TEST(OpcodeTable, KeywordsMatchInAnyCase) {
  EXPECT_EQ(find_opcode_keyword("ADD"), OP_ADD);
  EXPECT_EQ(find_opcode_keyword("Add"), OP_ADD);
  EXPECT_EQ(find_opcode_keyword("EQUAL1"), OP_EQUAL1);
  EXPECT_EQ(find_opcode_keyword("equal"), OP_EQUAL);
  EXPECT_EQ(find_opcode_keyword("rotl"), OP_ROTL);
  EXPECT_EQ(find_opcode_keyword("gotoBITc"), OP_GOTOBITC);
  EXPECT_EQ(find_opcode_keyword("RAMADREXT"), OP_RAMADREXT);
}

TEST(OpcodeTable, LongerWordsAreNotKeywords) {
  for (const char* word : {"addx", "add48", "nop1", "equal12", "", "gotobitcc", "org_"}) {
    EXPECT_EQ(find_opcode_keyword(word), -1) << word;
  }
}

TEST(OpcodeTable, EachKeywordSelectsOneIdAndTheMnemonicNamesIt) {
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    const opcode_info& row = opcode_row(id);
    EXPECT_EQ(row.id, id);
    EXPECT_EQ(find_opcode_keyword(row.keyword), id) << row.keyword;
    // The scanner and find_opcode_keyword take no longer word for a keyword.
    EXPECT_LE(std::strlen(row.keyword), 9u) << row.keyword;
    EXPECT_LE(std::strlen(row.mnemonic), 9u) << row.mnemonic;
    std::string lower = row.mnemonic;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (id != OP_EQUAL1) {
      EXPECT_EQ(lower, row.keyword) << id;
    }
  }
  EXPECT_EQ(get_opcode_name(OP_EQUAL1), "equal");
  EXPECT_STREQ(opcode_row(OP_EQUAL1).keyword, "equal1");
  EXPECT_EQ(get_opcode_name(OP_SKIPNEG), "skipNeg");
  EXPECT_EQ(get_opcode_name(OP_REVFWA), "revfwa");
  EXPECT_EQ(get_opcode_name(-1), "");
  EXPECT_EQ(get_opcode_name(OPCODE_COUNT), "");
  EXPECT_EQ(OP_REVFWA, 26);
  EXPECT_EQ(OP_GOTO, 28);
  EXPECT_EQ(OP_ORG, 56);
  EXPECT_EQ(OP_SWAP48, 81);
}

bool is_number_kind(operand_kind kind) {
  return kind == operand_kind::number || kind == operand_kind::opt_number ||
         kind == operand_kind::label_or_addr || kind == operand_kind::reg_or_number;
}

TEST(OpcodeTable, SignaturesFitTheirCheckAndSizeRule) {
  using K = operand_kind;
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    SCOPED_TRACE(get_opcode_name(id));
    const opcode_info& row = opcode_row(id);
    const operand_spec* op = row.op;
    for (int i = 0; i < 3; ++i) {
      // The grammar fills positions from the first; P3's optional count is last.
      if (i > 0 && op[i - 1].kind == K::none) {
        EXPECT_EQ(op[i].kind, K::none) << i;
      }
      if (!is_number_kind(op[i].kind)) {
        EXPECT_EQ(op[i].bound, 0u) << i;
      }
      if (is_number_kind(op[i].kind)) {
        EXPECT_GT(op[i].bound, 0u) << i;
      }
      if (i > 0) {
        EXPECT_NE(op[i].kind, K::label_or_addr) << i;
      }
    }
    switch (row.check) {
      case check_kind::REFUSED:
        EXPECT_EQ(op[0].kind, K::none);
        EXPECT_EQ(row.size.rule, size_rule::none);
        EXPECT_EQ(row.encoding.layout, shape::none);
        EXPECT_EQ(row.jump.kind, jump_class::none);
        EXPECT_EQ(row.rule, special_rule::none);
        break;
      case check_kind::P2:
        EXPECT_EQ(op[0].kind, K::reg);
        EXPECT_EQ(op[1].kind, K::reg_or_number);
        EXPECT_EQ(op[1].bound, ANY);
        EXPECT_EQ(op[2].kind, K::none);
        EXPECT_EQ(row.size.rule, size_rule::reg_or_number);
        break;
      case check_kind::P3:
        EXPECT_EQ(op[0].kind, K::reg);
        EXPECT_EQ(op[1].kind, K::opt_number);
        EXPECT_EQ(op[2].kind, K::none);
        EXPECT_EQ(row.size.rule, size_rule::count);
        break;
      case check_kind::P:
        for (const operand_spec& spec : row.op) {
          EXPECT_NE(spec.kind, K::reg_or_number);
          EXPECT_NE(spec.kind, K::opt_number);
        }
        EXPECT_NE(row.size.rule, size_rule::reg_or_number);
        EXPECT_NE(row.size.rule, size_rule::count);
        break;
    }
    EXPECT_EQ(row.size.rule == size_rule::label_or_addr, op[0].kind == K::label_or_addr);
    if (row.size.rule == size_rule::value) {
      // Both sizes can be written.
      EXPECT_EQ(op[0].kind, K::number);
      EXPECT_GE(row.size.limit, 0);
      EXPECT_LT(static_cast<std::uint32_t>(row.size.limit), op[0].bound);
    }
    // Only org and the refused ids have no code; org alone places nothing.
    EXPECT_EQ(row.size.rule == size_rule::none, row.encoding.layout == shape::none);
    if (row.size.rule == size_rule::none && row.check != check_kind::REFUSED) {
      EXPECT_EQ(id, OP_ORG);
    }
    if (row.size.rule != size_rule::none) {
      EXPECT_GE(row.size.a, 1);
      EXPECT_LE(row.size.a, row.size.b);
      if (row.size.rule == size_rule::fixed) {
        EXPECT_EQ(row.size.a, row.size.b);
      }
      EXPECT_LE(row.comment.a, 3);
      EXPECT_LE(row.comment.b, 3);
    }
  }
}

TEST(OpcodeTable, RulesOfSingleInstructionsNameOperandsTheyHave) {
  using K = operand_kind;
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    SCOPED_TRACE(get_opcode_name(id));
    const opcode_info& row = opcode_row(id);
    switch (row.rule) {
      case special_rule::none: break;
      case special_rule::count1_not_zero:
      case special_rule::count1_not_zero_skip: EXPECT_EQ(row.op[0].kind, K::number); break;
      case special_rule::count2_not_zero: EXPECT_EQ(row.op[1].kind, K::opt_number); break;
      case special_rule::count3_not_zero: EXPECT_EQ(row.op[2].kind, K::number); break;
      case special_rule::no_rz_swap:
        EXPECT_EQ(row.op[0].kind, K::reg);
        EXPECT_EQ(row.op[1].kind, K::reg);
        break;
    }
  }
  EXPECT_EQ(opcode_row(OP_SKIP).rule, special_rule::count1_not_zero_skip);
  EXPECT_EQ(opcode_row(OP_SHIFTL).rule, special_rule::count2_not_zero);
  EXPECT_EQ(opcode_row(OP_ROTL).rule, special_rule::none);
}

/// The position of a skip's count: where its jump has the label.
int count_position(const opcode_info& skip) {
  return opcode_row(skip.jump.becomes).label_position();
}

/// The operand that a rule keeps from being 0, or -1.
int not_zero_position(special_rule rule) {
  switch (rule) {
    case special_rule::count1_not_zero:
    case special_rule::count1_not_zero_skip: return 0;
    case special_rule::count2_not_zero: return 1;
    case special_rule::count3_not_zero: return 2;
    case special_rule::none:
    case special_rule::no_rz_swap: break;
  }
  return -1;
}

TEST(OpcodeTable, SkipIdNAndGotoIdNMinus37ShareACondition) {
  int skips = 0;
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    SCOPED_TRACE(get_opcode_name(id));
    const opcode_info& row = opcode_row(id);
    if (!row.jump.is_skip()) continue;
    ++skips;
    ASSERT_EQ(row.jump.becomes, id - 37);
    const opcode_info& jump = opcode_row(row.jump.becomes);
    const bool bit_form = row.jump.kind == jump_class::bit_skip;
    EXPECT_EQ(jump.jump.kind, bit_form ? jump_class::bit_jump : jump_class::plain);
    // The count sits where the jump has its label; the other operands agree.
    const int count = count_position(row);
    ASSERT_GE(count, 0);
    EXPECT_EQ(row.op[count].kind, operand_kind::number);
    EXPECT_EQ(row.op[count].bound, 3u);  // two bits of the first byte
    EXPECT_EQ(not_zero_position(row.rule), count);
    for (int i = 0; i < 3; ++i) {
      if (i == count) continue;
      EXPECT_EQ(row.op[i].kind, jump.op[i].kind) << i;
      EXPECT_EQ(row.op[i].bound, jump.op[i].bound) << i;
    }
    // The skip is the jump's first byte with the count in it.
    EXPECT_EQ(row.encoding.b1, jump.encoding.b1);
    if (bit_form) {
      EXPECT_EQ(row.encoding.b2, jump.encoding.b2);
    }
    EXPECT_EQ(row.encoding.layout, bit_form ? shape::bit_skip : shape::skip);
    // The conversion walk moves what follows by one byte.
    EXPECT_EQ(jump.size.a, row.size.a + 1);
  }
  EXPECT_EQ(skips, 11);
}

TEST(OpcodeTable, JumpsWidenOrTurnIntoTheOppositeBitSkip) {
  int jumps = 0;
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    SCOPED_TRACE(get_opcode_name(id));
    const opcode_info& row = opcode_row(id);
    if (row.jump.kind == jump_class::none) {
      EXPECT_EQ(row.jump.becomes, -1);
      continue;
    }
    EXPECT_EQ(row.jump.is_bit_form(), row.encoding.layout == shape::bit_jump ||
                                          row.encoding.layout == shape::bit_skip);
    if (row.jump.is_skip()) continue;
    if (row.jump.kind == jump_class::call) {
      EXPECT_EQ(id, OP_JSUB);
      EXPECT_EQ(row.jump.becomes, -1);
      continue;
    }
    ++jumps;
    // Every jump has the skip with its condition 37 ids on.
    ASSERT_LT(id + 37, OPCODE_COUNT);
    EXPECT_EQ(opcode_row(id + 37).jump.becomes, id);
    if (row.jump.kind == jump_class::plain) {
      EXPECT_EQ(row.label_position(), 0);
      EXPECT_EQ(row.jump.becomes, -1);
      EXPECT_EQ(row.encoding.layout, shape::jump);
      // The widening walk moves what follows by one byte.
      EXPECT_EQ(row.size.a, 2);
      EXPECT_EQ(row.size.b, 3);
    } else {
      EXPECT_EQ(row.label_position(), 2);
      const opcode_info& skip = opcode_row(row.jump.becomes);
      EXPECT_EQ(skip.jump.kind, jump_class::bit_skip);
      EXPECT_NE(skip.jump.becomes, id) << "the opposite condition";
      EXPECT_EQ(opcode_row(skip.jump.becomes).jump.kind, jump_class::bit_jump);
      // The rewrite walk moves what follows by two bytes: the bit skip and
      // a long goto in place of the bit jump.
      EXPECT_EQ(skip.size.a + opcode_row(OP_GOTO).size.b, row.size.a + 2);
    }
  }
  EXPECT_EQ(jumps, 11);
  EXPECT_EQ(opcode_row(OP_GOTOBITC).jump.becomes, OP_SKIPBITS);
  EXPECT_EQ(opcode_row(OP_GOTOBITS).jump.becomes, OP_SKIPBITC);
}

TEST(OpcodeTable, LabelOperands) {
  int with_label = 0;
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    const opcode_info& row = opcode_row(id);
    if (row.label_position() < 0) continue;
    ++with_label;
    // The jump optimisation looks at every statement with a target.
    EXPECT_NE(row.jump.kind, jump_class::none) << row.mnemonic;
  }
  EXPECT_EQ(with_label, 12);
  EXPECT_EQ(opcode_row(OP_GOTOBITS).label_position(), 2);
  EXPECT_EQ(opcode_row(OP_JSUB).label_position(), 0);
  EXPECT_EQ(opcode_row(OP_SKIPEQ).label_position(), -1);
}

}  // namespace
