#include "scanner/keywords.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "core/opcode_table.h"

TEST(Keywords, EveryKeywordInAnyCaseGivesItsId) {
  const keyword_table keywords;
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    std::string word = opcode_table[id].keyword;
    EXPECT_EQ(keywords.find(word), id) << word;
    std::string upper = word;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(keywords.find(upper), id) << upper;
  }
  EXPECT_EQ(keywords.find("GotoBitC"), OP_GOTOBITC);
  EXPECT_EQ(keywords.find("EQUAL1"), OP_EQUAL1);
}

TEST(Keywords, AnswersLikeTheInstructionTable) {
  const keyword_table keywords;
  for (const char* word : {"addx", "add48", "nop1", "equal12", "x", "const", "ramadrextx",
                           "incramadr", "Org", "_nop", "skipPos", "ORG_"}) {
    EXPECT_EQ(keywords.find(word), find_opcode_keyword(word)) << word;
  }
}
