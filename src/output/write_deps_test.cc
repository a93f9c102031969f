#include "output/write_deps.h"

#include <gtest/gtest.h>

TEST(WriteDeps, NamesAreEscapedForMake) {
  EXPECT_EQ(make_escaped("plain/file.inc"), "plain/file.inc");
  EXPECT_EQ(make_escaped("my file.inc"), "my\\ file.inc");
  EXPECT_EQ(make_escaped("a$b#c"), "a$$b\\#c");
  // A backslash that ends a directory before a blank is doubled.
  EXPECT_EQ(make_escaped("dir\\ x"), "dir\\\\\\ x");
  EXPECT_EQ(make_escaped("C:\\src\\a.asm"), "C:\\src\\a.asm");
}

TEST(WriteDeps, OneRuleForTheOutputsAndAnEmptyOnePerInclude) {
  EXPECT_EQ(deps_text({"p.hex", "p.dbg"}, "p.asm", {"a.inc", "lib/b.inc", "a.inc"}),
            "p.hex \\\n p.dbg: p.asm \\\n a.inc \\\n lib/b.inc\n"
            "\na.inc:\n"
            "\nlib/b.inc:\n");
  EXPECT_EQ(deps_text({"p.hex"}, "p.asm", {}), "p.hex: p.asm\n");
}
