#include "platform/disk.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

TEST(RealDisk, ADirectoryIsNoSource) {
  real_disk d;
  std::string reason;
  EXPECT_EQ(d.open_source(".", reason), nullptr);
  EXPECT_FALSE(reason.empty());
}
