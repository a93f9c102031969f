#include "core/paths.h"

#include <gtest/gtest.h>

TEST(Paths, SplitAtTheLastSeparatorOfEitherStyle) {
  split_path_result a = split_path("src\\prog.asm");
  EXPECT_EQ(a.dir, "src");
  EXPECT_EQ(a.name, "prog.asm");
  EXPECT_EQ(a.sep, '\\');
  split_path_result b = split_path("a\\b/c.asm");
  EXPECT_EQ(b.dir, "a\\b");
  EXPECT_EQ(b.sep, '/');
  split_path_result c = split_path("prog.asm");
  EXPECT_EQ(c.dir, "");
  EXPECT_EQ(c.name, "prog.asm");
  EXPECT_EQ(c.sep, 0);
}

TEST(Paths, JoinPutsBackTheSeparatorCutAt) {
  for (const char* path : {"src\\prog.asm", "src/prog.asm", "/abs/x.asm", "a\\b/c"}) {
    split_path_result parts = split_path(path);
    EXPECT_EQ(join_path(parts.dir, parts.sep, parts.name), path);
  }
}
