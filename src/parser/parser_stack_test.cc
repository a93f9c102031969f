// The parser's stacks grow from 200 entries up to 150000, and no further.
#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"
#include "platform/disk.h"

namespace {

/// Assembles a constant declaration nested `depth` parentheses deep.
std::string assemble_nested(int depth, int& status) {
  memory_disk files;
  files.files["deep.asm"] = "org 0\nCONST A " + std::string(depth, '(') + "1" +
                            std::string(depth, ')') + "\nmove x, A\n";
  capture_sink sink;
  status = assemble({"deep.asm"}, files, sink).status;
  return sink.out;
}

const char* const BANNER = "--- ZR17 Assembler,          tessaro instrument works ---\n";

TEST(ParserStack, GrowsForDeepNesting) {
  for (int depth : {10000, 149000}) {
    int status = -1;
    std::string out = assemble_nested(depth, status);
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << depth << ": " << out;
    EXPECT_EQ(out.find("Could not parse"), std::string::npos) << depth;
  }
}

TEST(ParserStack, MoreThanItsLimitExhaustsTheParser) {
  int status = -1;
  std::string out = assemble_nested(150000, status);
  EXPECT_EQ(out, std::string(BANNER) +
                     "deep.asm Line 2 ERROR: memory exhausted\n"
                     "Info: Could not parse file\n");
  EXPECT_EQ(status, 1);
}

}  // namespace
