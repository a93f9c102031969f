#include "platform/path_style.h"

#include <gtest/gtest.h>

TEST(PathStyle, TheSystemsOwnSeparatorAndRoot) {
#ifdef _WIN32
  EXPECT_EQ(native_separator(), '\\');
  EXPECT_FALSE(has_posix_root("/usr/a.inc"));
#else
  EXPECT_EQ(native_separator(), '/');
  EXPECT_TRUE(has_posix_root("/usr/a.inc"));
#endif
  EXPECT_FALSE(has_posix_root(""));
  EXPECT_FALSE(has_posix_root("usr/a.inc"));
  EXPECT_FALSE(has_posix_root("\\usr\\a.inc"));
}

TEST(PathStyle, NativePathTakesEitherSeparator) {
#ifdef _WIN32
  // Drive letters, UNC names and both separators are the system's own.
  for (const char* path : {"..\\lib\\a.inc", "C:\\x/a.inc", "\\\\server\\share\\a.inc"}) {
    EXPECT_EQ(native_path(path), path);
  }
#else
  EXPECT_EQ(native_path("..\\lib\\a.inc"), "../lib/a.inc");
  EXPECT_EQ(native_path("src/prog.asm"), "src/prog.asm");
  EXPECT_EQ(native_path("\\\\server\\share"), "//server/share");
#endif
}
