#include "driver/opcode_table.h"

#include <gtest/gtest.h>

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

TEST(OpcodeTable, EveryIdHasOneKeywordAndTheMnemonicNamesIt) {
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    EXPECT_EQ(find_opcode_keyword(opcode_table[id].keyword), id);
  }
  EXPECT_EQ(get_opcode_name(OP_EQUAL1), "equal");
  EXPECT_EQ(get_opcode_name(OP_SKIPNEG), "skipNeg");
  EXPECT_EQ(get_opcode_name(OP_REVFWA), "revfwa");
  EXPECT_EQ(OP_REVFWA, 26);
  EXPECT_EQ(OP_GOTO, 28);
  EXPECT_EQ(OP_ORG, 56);
  EXPECT_EQ(OP_SWAP48, 81);
}

TEST(OpcodeTable, SkipsAndGotosShareConditionsThirtySevenApart) {
  EXPECT_EQ(OP_SKIP - SKIP_TO_GOTO, OP_GOTO);
  EXPECT_EQ(OP_SKIPBITC - SKIP_TO_GOTO, OP_GOTOBITC);
  EXPECT_EQ(OP_SKIPPOS - SKIP_TO_GOTO, OP_GOTOPOS);
  EXPECT_TRUE(is_skip(OP_SKIP));
  EXPECT_TRUE(is_skip(OP_SKIPPOS));
  EXPECT_FALSE(is_skip(OP_SIGN));
  EXPECT_FALSE(is_skip(OP_STOP));
}
