#include "lsp/uri.h"

#include <gtest/gtest.h>

namespace lsp {
namespace {

constexpr path_style posix = path_style::posix;
constexpr path_style windows = path_style::windows;

TEST(LspUri, PosixPathsRoundTripWithPercentEncoding) {
  EXPECT_EQ(uri_to_path("file:///home/me/a%20b.asm", posix), "/home/me/a b.asm");
  EXPECT_EQ(uri_to_path("file://localhost/x/%C3%A9.inc", posix), "/x/\xC3\xA9.inc");
  EXPECT_EQ(uri_to_path("FILE:///x/y.asm?query#frag", posix), "/x/y.asm");
  EXPECT_EQ(path_to_uri("/home/me/a b#1%.asm", posix), "file:///home/me/a%20b%231%25.asm");
  EXPECT_EQ(path_to_uri("/x/\xC3\xA9.inc", posix), "file:///x/%C3%A9.inc");
  for (const char* path : {"/a/b c/d.asm", "/\xC3\xA9/[x]/y;z", "/"}) {
    EXPECT_EQ(uri_to_path(path_to_uri(path, posix), posix), path);
  }
}

TEST(LspUri, WindowsDriveLettersAndShares) {
  // Both spellings of the drive's colon that clients send.
  EXPECT_EQ(uri_to_path("file:///c%3A/Users/me/main.asm", windows), "c:\\Users\\me\\main.asm");
  EXPECT_EQ(uri_to_path("file:///C:/Users/me/a%20b.asm", windows), "C:\\Users\\me\\a b.asm");
  EXPECT_EQ(uri_to_path("file://server/share/x.asm", windows), "\\\\server\\share\\x.asm");
  EXPECT_EQ(path_to_uri("C:\\Users\\me\\a b.asm", windows), "file:///C:/Users/me/a%20b.asm");
  EXPECT_EQ(path_to_uri("\\\\server\\share\\x.asm", windows), "file://server/share/x.asm");
  EXPECT_EQ(uri_to_path(path_to_uri("D:\\x\\y.inc", windows), windows), "D:\\x\\y.inc");
}

TEST(LspUri, NoPathForWhatIsNoUsableFileUri) {
  EXPECT_EQ(uri_to_path("untitled:Untitled-1", posix), "");
  EXPECT_EQ(uri_to_path("http://x/y", posix), "");
  EXPECT_EQ(uri_to_path("file:///a%2", posix), "");
  EXPECT_EQ(uri_to_path("file:///a%zz", posix), "");
  EXPECT_EQ(uri_to_path("file:///a%00b", posix), "");
  EXPECT_EQ(uri_to_path("file://host/x", posix), "");  // a host means another machine
  EXPECT_EQ(uri_to_path("file://", posix), "");
}

TEST(LspUri, NormalisedPathsAndKeys) {
  EXPECT_EQ(normalize_path("/a/./b//../c/x.asm", posix), "/a/c/x.asm");
  EXPECT_EQ(normalize_path("/../x", posix), "/x");
  EXPECT_EQ(normalize_path("a/../../x", posix), "../x");
  EXPECT_EQ(normalize_path("C:/a/b/..\\c", windows), "C:\\a\\c");
  EXPECT_EQ(normalize_path("\\\\srv\\share\\.\\x", windows), "\\\\srv\\share\\x");
  EXPECT_EQ(path_key("C:\\A\\B.asm", windows), path_key("c:/a/b.ASM", windows));
  EXPECT_NE(path_key("/A/b.asm", posix), path_key("/a/b.asm", posix));
  EXPECT_TRUE(same_path("/a/b/../c", "/a/c", posix));
  EXPECT_TRUE(is_absolute_path("C:\\x", windows));
  EXPECT_FALSE(is_absolute_path("C:x", windows));
  EXPECT_FALSE(is_absolute_path("x/y", posix));
}

}  // namespace
}  // namespace lsp
