#include "scanner/include_path.h"

#include <gtest/gtest.h>

#include "platform/path_style.h"

TEST(IncludePath, BesideTheIncludingFileInItsSeparatorStyle) {
  EXPECT_EQ(quoted_include_path("src\\main.asm", "a.inc"), "src\\a.inc");
  EXPECT_EQ(quoted_include_path("src/main.asm", "a.inc"), "src/a.inc");
  EXPECT_EQ(quoted_include_path("a/b\\main.asm", "x/y.inc"), "a/b\\x/y.inc");
  EXPECT_EQ(quoted_include_path("src/main.asm", " a.inc"), "src/ a.inc");
  EXPECT_EQ(quoted_include_path("/abs/main.asm", "a.inc"), "/abs/a.inc");
}

TEST(IncludePath, WithoutDirectoryTheNameAlone) {
  EXPECT_EQ(quoted_include_path("main.asm", "a.inc"), "a.inc");
  EXPECT_EQ(quoted_include_path("main.asm", "..\\a.inc"), "..\\a.inc");
  EXPECT_EQ(quoted_include_path("main.asm", "sub/a.inc"), "sub/a.inc");
}

TEST(IncludePath, EachLeadingUpStepClimbsOneLevel) {
  EXPECT_EQ(quoted_include_path("D:\\p\\src\\main.asm", "..\\lib\\a.inc"), "D:\\p\\lib\\a.inc");
  EXPECT_EQ(quoted_include_path("D:\\p\\src\\main.asm", "..\\..\\a.inc"), "D:\\a.inc");
  EXPECT_EQ(quoted_include_path("p/src/main.asm", "../a.inc"), "p/a.inc");
  EXPECT_EQ(quoted_include_path("p/src\\main.asm", "..\\../a.inc"), "a.inc");
  EXPECT_EQ(quoted_include_path("src\\main.asm", "..\\a.inc"), "a.inc");
  // Climbing changes the separator to the one the upper directory was cut at.
  EXPECT_EQ(quoted_include_path("p/q\\r\\main.asm", "..\\..\\a.inc"), "p/a.inc");
}

TEST(IncludePath, UpStepsBeyondTheLastLevelStayAsWritten) {
  EXPECT_EQ(quoted_include_path("D:\\p\\main.asm", "..\\..\\..\\a.inc"), "D:\\..\\..\\a.inc");
  EXPECT_EQ(quoted_include_path("/abs/main.asm", "../../a.inc"), "/../a.inc");
  EXPECT_EQ(quoted_include_path("src/main.asm", "../../a.inc"), "../a.inc");
  // "." and ".." are no levels: dropping them would not climb.
  EXPECT_EQ(quoted_include_path("../../main.asm", "../a.inc"), "../../../a.inc");
  EXPECT_EQ(quoted_include_path("./src/main.asm", "../../a.inc"), "./../a.inc");
  std::string twenty;
  for (int i = 0; i < 20; ++i) twenty += "..\\";
  EXPECT_EQ(quoted_include_path("a\\b\\main.asm", twenty + "x.inc"), twenty.substr(6) + "x.inc");
}

TEST(IncludePath, UpStepsInsideTheNameAreLeftToTheFileSystem) {
  EXPECT_EQ(quoted_include_path("p\\src\\main.asm", "sub\\..\\a.inc"), "p\\src\\sub\\..\\a.inc");
  EXPECT_EQ(quoted_include_path("p\\src\\main.asm", "..\\x\\..\\a.inc"), "p\\x\\..\\a.inc");
  EXPECT_EQ(quoted_include_path("p\\src\\main.asm", "..a.inc"), "p\\src\\..a.inc");
}

TEST(IncludePath, AbsoluteNamesAreOpenedAsWritten) {
  EXPECT_TRUE(is_absolute_include("C:\\x\\a.inc"));
  EXPECT_TRUE(is_absolute_include("\\\\server\\share\\a.inc"));
  EXPECT_TRUE(is_absolute_include("x\\\\a.inc"));
  EXPECT_FALSE(is_absolute_include("x\\a.inc"));
  EXPECT_EQ(quoted_include_path("p\\src\\main.asm", "C:\\..\\a.inc"), "C:\\..\\a.inc");
  EXPECT_EQ(quoted_include_path("p\\src\\main.asm", "..\\\\a.inc"), "..\\\\a.inc");
  if (has_posix_root("/")) {
    EXPECT_TRUE(is_absolute_include("/usr/x/../a.inc"));
    EXPECT_EQ(quoted_include_path("p/main.asm", "/usr/x/../a.inc"), "/usr/x/../a.inc");
  } else {
    EXPECT_EQ(quoted_include_path("p/main.asm", "/usr/x/../a.inc"), "p//usr/x/../a.inc");
  }
}

TEST(IncludePath, AngledNamesComeFromTheLibDirectory) {
  // The working directory comes from the system, so lib is joined in its style.
  const std::string s(1, native_separator());
  EXPECT_EQ(angled_include_path("/work", "a.inc"), "/work" + s + "lib" + s + "a.inc");
  EXPECT_EQ(angled_include_path("/work", "..\\a.inc"), "/work" + s + "lib" + s + "..\\a.inc");
}
