// One process can assemble many programs: a run that ends in the middle of
// scanning leaves nothing behind for the next.
#include <gtest/gtest.h>

#include <string>

#include "driver/in_memory_run.h"

namespace {


TEST(ScannerReset, ARunStoppedInsideAnIncludeLeavesNothingBehind) {
  memory_disk first;
  first.files["src/m.asm"] = "org 0\nCONST A 1\n#define FOO\n#include \"a.inc\"\n";
  first.files["src/a.inc"] = "nop\n#ifdef FOO\n#include x\n";
  run_result stopped = assemble_in_memory(first, "src/m.asm");
  EXPECT_EQ(stopped.status, 2);
  EXPECT_EQ(stopped.out, BANNER);
  EXPECT_EQ(stopped.err, "src/a.inc:3: Fatal error: unexpected character after a directive\n");

  // FOO and A are unknown again, the scanner starts at line 1 of the new
  // main source in its normal state.
  memory_disk second;
  second.files["m.asm"] = "#ifdef FOO\nfoo\n#endif\nmove A, 5\n";
  run_result fresh = assemble_in_memory(second, "m.asm");
  EXPECT_EQ(fresh.status, 1);
  EXPECT_EQ(fresh.out, BANNER + "m.asm Line 4 ERROR: misplaced comma\nInfo: Could not parse file\n");
  EXPECT_EQ(fresh.err, "");
}

TEST(ScannerReset, ARunEndedInsideACommentOrSkippedBlock) {
  memory_disk files;
  files.files["m.asm"] = "org 0\n#include \"a.inc\"\n";
  files.files["a.inc"] = "#ifdef NOPE\n<COMMENT>\n";
  run_result skipped = assemble_in_memory(files, "m.asm");
  EXPECT_EQ(skipped.status, 0);
  EXPECT_EQ(skipped.out.find("ERROR"), std::string::npos) << skipped.out;

  files.files["m.asm"] = "org 0\nfoo\n";
  run_result fresh = assemble_in_memory(files, "m.asm");
  EXPECT_EQ(fresh.out, BANNER +
                           "m.asm Line 2 ERROR: unknown opcode 'foo' or missing ':' after jump label\n"
                           "Info: Could not parse file\n");
}

}  // namespace
