#include "platform/disk.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <algorithm>
#include <string>
#include <vector>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

/// Sets SOURCE_DATE_EPOCH for one test and puts the old value back.
class epoch_guard {
 public:
  explicit epoch_guard(const char* value) {
    if (const char* old = std::getenv("SOURCE_DATE_EPOCH")) {
      saved_ = old;
      had_ = true;
    }
    set(value);
  }
  ~epoch_guard() { set(had_ ? saved_.c_str() : nullptr); }

 private:
  /// Sets the variable, or removes it for null.
  static void set(const char* value) {
#ifdef _WIN32
    _putenv_s("SOURCE_DATE_EPOCH", value != nullptr ? value : "");
#else
    if (value != nullptr) {
      setenv("SOURCE_DATE_EPOCH", value, 1);
    } else {
      unsetenv("SOURCE_DATE_EPOCH");
    }
#endif
  }

  std::string saved_;
  bool had_ = false;
};

}  // namespace

TEST(HeaderTime, SourceDateEpochIsShownInUtcWithATwoDigitDay) {
  epoch_guard guard("1699000000");
  EXPECT_EQ(header_time(), "Fri Nov 03 08:26:40 2023");
}

TEST(HeaderTime, WithoutAValidEpochTheClockIsUsed) {
  for (const char* value : {static_cast<const char*>(nullptr), "", "12abc"}) {
    epoch_guard guard(value);
    std::string text = header_time();
    EXPECT_EQ(text.size(), 24u) << text;
    EXPECT_NE(text, "Thu Jan 01 00:00:12 1970");
  }
}

TEST(MemoryDisk, ReadsWritesAndRemovesUnderTheNativePath) {
  memory_disk d;
  d.files["src/a.asm"] = "nop\n";
  std::string reason;
  auto reader = d.open_source("src\\a.asm", reason);
  ASSERT_NE(reader, nullptr);
  char buffer[16];
  EXPECT_EQ(reader->read(buffer, sizeof buffer), 4);
  EXPECT_EQ(reader->read(buffer, sizeof buffer), 0);
  EXPECT_EQ(d.open_source("missing.asm", reason), nullptr);
  EXPECT_EQ(reason, "No such file or directory");
  d.read_only["out.hex"] = true;
  EXPECT_FALSE(d.write_file("out.hex", "x"));
  EXPECT_TRUE(d.write_file("src\\b.hex", "y"));
  EXPECT_EQ(d.files["src/b.hex"], "y");
  d.remove_file("src/b.hex");
  EXPECT_EQ(d.files.count("src/b.hex"), 0u);
}

TEST(MemoryDisk, AStreamedFileIsWrittenWholeAtCommitOnly) {
  memory_disk d;
  d.files["out.hex"] = "old";
  {
    auto file = d.create_file("out.hex");
    ASSERT_NE(file, nullptr);
    file->write("new ");
    EXPECT_EQ(d.files["out.hex"], "old");
  }
  EXPECT_EQ(d.files["out.hex"], "old");
  auto file = d.create_file("out.hex");
  file->write("new ");
  file->write("text");
  EXPECT_TRUE(file->commit());
  EXPECT_EQ(d.files["out.hex"], "new text");
  d.read_only["locked.hex"] = true;
  auto locked = d.create_file("locked.hex");
  locked->write("x");
  EXPECT_FALSE(locked->commit());
}

TEST(RealDisk, ADirectoryIsNoSource) {
  real_disk d;
  std::string reason;
  EXPECT_EQ(d.open_source(".", reason), nullptr);
  EXPECT_FALSE(reason.empty());
}

#ifndef _WIN32
TEST(RealDisk, SameFileFollowsLinksAndSpellings) {
  char pattern[] = "/tmp/zr17_disk_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  real_disk d;
  ASSERT_TRUE(d.write_file(dir + "/prog.asm", "nop\n"));
  ASSERT_TRUE(d.write_file(dir + "/other.asm", "nop\n"));
  ASSERT_EQ(symlink("prog.asm", (dir + "/prog.hex").c_str()), 0);
  EXPECT_TRUE(d.same_file(dir + "/prog.asm", dir + "/./prog.asm"));
  EXPECT_TRUE(d.same_file(dir + "/prog.hex", dir + "/prog.asm"));
  EXPECT_FALSE(d.same_file(dir + "/other.asm", dir + "/prog.asm"));
  EXPECT_FALSE(d.same_file(dir + "/missing", dir + "/missing"));

  // Only a regular file is removed.
  ASSERT_EQ(mkdir((dir + "/prog.epr").c_str(), 0700), 0);
  d.remove_file(dir + "/prog.epr");
  d.remove_file(dir + "/other.asm");
  std::string reason;
  EXPECT_EQ(d.open_source(dir + "/other.asm", reason), nullptr);
  EXPECT_EQ(rmdir((dir + "/prog.epr").c_str()), 0);
  for (const char* name : {"/prog.hex", "/prog.asm"}) std::remove((dir + name).c_str());
  rmdir(dir.c_str());
}

namespace {

/// The names in `dir`, sorted, without "." and "..".
std::vector<std::string> directory_names(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* listing = opendir(dir.c_str())) {
    while (const dirent* entry = readdir(listing)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(listing);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string file_text(const std::string& path) {
  std::string text;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[256];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
      text.append(buffer, got);
    }
    std::fclose(file);
  }
  return text;
}

}  // namespace

TEST(RealDisk, AStreamedFileTakesThePlaceOfTheOldOneOnlyAtCommit) {
  char pattern[] = "/tmp/zr17_disk_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  const std::string path = dir + "/prog.hex";
  real_disk d;
  ASSERT_TRUE(d.write_file(path, "old\n"));
  {
    // Given up before commit: the old file stays, and nothing beside it.
    auto file = d.create_file(path);
    ASSERT_NE(file, nullptr);
    file->write("new\n");
    EXPECT_EQ(file_text(path), "old\n");
  }
  EXPECT_EQ(file_text(path), "old\n");
  EXPECT_EQ(directory_names(dir), std::vector<std::string>{"prog.hex"});

  auto file = d.create_file(path);
  ASSERT_NE(file, nullptr);
  std::string expected;
  for (int piece = 0; piece < 1000; ++piece) {
    const std::string line = "line " + std::to_string(piece) + "\n";
    file->write(line);
    expected += line;
  }
  EXPECT_EQ(file_text(path), "old\n");
  EXPECT_TRUE(file->commit());
  EXPECT_EQ(file_text(path), expected);
  EXPECT_EQ(directory_names(dir), std::vector<std::string>{"prog.hex"});

  // A directory in the way: nothing can be written, nothing is left.
  ASSERT_EQ(mkdir((dir + "/prog.dbg").c_str(), 0700), 0);
  EXPECT_EQ(d.create_file(dir + "/prog.dbg"), nullptr);
  EXPECT_EQ(directory_names(dir), (std::vector<std::string>{"prog.dbg", "prog.hex"}));
  rmdir((dir + "/prog.dbg").c_str());
  std::remove(path.c_str());
  rmdir(dir.c_str());
}
#endif
