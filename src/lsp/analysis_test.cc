#include "lsp/analysis.h"

#include <gtest/gtest.h>

#include "platform/disk.h"

namespace lsp {
namespace {

struct LspAnalysis : ::testing::Test {
  memory_disk files;
  overlay_disk disk{files};

  LspAnalysis() { files.cwd = "/w"; }

  analysis run(const std::string& main = "/w/main.asm") {
    return analyse(main, run_settings{}, disk);
  }
};

std::vector<std::string> codes(const analysis& result) {
  std::vector<std::string> list;
  for (const message_record& record : result.messages) {
    list.push_back(record.file + ":" + std::to_string(record.line) + " " + record.code);
  }
  return list;
}

TEST_F(LspAnalysis, PlacingTheProgramStillReportsWithoutWritingAnything) {
  files.files["/w/main.asm"] =
      "        ORG 0\n        nop\n        nop\n        ORG 1\n        nop\n";
  const analysis conflict = run();
  EXPECT_EQ(codes(conflict), std::vector<std::string>{"/w/main.asm:5 address-conflict"});
  EXPECT_FALSE(conflict.complete);

  files.files["/w/main.asm"] =
      "        ORG 0\n        nop\n        ORG 0xFFFE\n        move x, 5\n";
  EXPECT_EQ(codes(run()), std::vector<std::string>{"/w/main.asm:4 program-too-large"});
  EXPECT_EQ(files.files.size(), 1u) << "a run wrote a file";
}

TEST_F(LspAnalysis, BuffersComeBeforeFilesAndEveryReadSourceIsListed) {
  files.files["/w/main.asm"] =
      "#include \"defs.inc\"\n        ORG 0\nstart:  move x, LIMIT\n        goto start\n#include "
      "<util.inc>\n";
  files.files["/w/defs.inc"] = "CONST LIMIT 10\n";
  files.files["/w/lib/util.inc"] = "#define FAST\nhelper: jsubret\n";
  disk.set_buffer("/w/defs.inc", "CONST LIMIT 300\n#define SLOW\n");
  const analysis result = run();
  EXPECT_TRUE(result.complete) << ::testing::PrintToString(codes(result));
  EXPECT_EQ(result.files, (std::set<std::string>{"/w/main.asm", "/w/defs.inc", "/w/lib/util.inc"}));
  std::vector<std::string> names;
  for (const symbol& item : result.symbols) {
    names.push_back(item.name + "@" + item.file + ":" + std::to_string(item.line) + "=" +
                    std::to_string(item.kind == symbol::constant ? item.value : item.address));
  }
  // The buffer's value, the labels' final addresses (move with 300 is 5 bytes).
  EXPECT_EQ(names, (std::vector<std::string>{"LIMIT@/w/defs.inc:1=300", "start@/w/main.asm:3=0",
                                             "helper@/w/lib/util.inc:2=7", "SLOW@/w/defs.inc:2=0",
                                             "FAST@/w/lib/util.inc:1=0"}));
  EXPECT_EQ(files.files.size(), 3u);
}

TEST_F(LspAnalysis, FatalEndsAreNamedWhereTheyHappen) {
  files.files["/w/main.asm"] = "        ORG 0\n#include x\n";
  const analysis result = run();
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].file, "/w/main.asm");
  EXPECT_EQ(result.messages[0].line, 2);
  EXPECT_EQ(result.messages[0].text.rfind("Fatal error: ", 0), 0u) << result.messages[0].text;
}

TEST_F(LspAnalysis, MissingIncludeDirectoriesAreLeftOutAndSaidSo) {
  files.files["/w/main.asm"] = "        ORG 0\n        nop\n";
  files.directories.insert("/w/inc");
  run_settings settings;
  settings.include_dirs = {"inc", "nothere"};
  std::vector<std::string> dropped;
  const std::vector<std::string> args = run_arguments("/w/main.asm", settings, disk, dropped);
  EXPECT_EQ(args,
            (std::vector<std::string>{"--diagnostics=gnu", "-W", "-I", "/w/inc", "/w/main.asm"}));
  EXPECT_EQ(dropped, std::vector<std::string>{"nothere"});
}

}  // namespace
}  // namespace lsp
