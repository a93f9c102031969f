// Runs share nothing: the sources of every end-to-end case, assembled on four
// threads at once in one process, give exactly what one-at-a-time runs give.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "driver/driver.h"
#include "testing/case_file.h"

namespace {

struct case_run {
  std::string name;
  std::vector<std::string> args;
  std::map<std::string, std::string> files;
};

struct outcome {
  int status = -1;
  std::string out;
  std::string err;
  std::map<std::string, std::string> files;
  bool operator==(const outcome&) const = default;
};

std::vector<case_run> load_cases() {
  std::vector<case_run> cases;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(ZR17_E2E_DIR)) {
    if (entry.path().extension() != ".case") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    case_run run;
    run.name = entry.path().string();
    const memory_disk paths;
    for (const case_section& s : parse_case(text.str())) {
      if (s.kind == "args") run.args.insert(run.args.end(), s.words.begin(), s.words.end());
      if (s.kind == "file" && !s.words.empty()) {
        // Angled includes are looked up under the working directory.
        run.files[memory_disk::key(s.words[0])] = s.body;
        run.files[memory_disk::key(paths.cwd + "/" + s.words[0])] = s.body;
      }
    }
    cases.push_back(std::move(run));
  }
  return cases;
}

outcome run_one(const case_run& c) {
  memory_disk disk;
  disk.files = c.files;
  capture_sink sink;
  outcome result;
  result.status = assemble(c.args, disk, sink).status;
  result.out = std::move(sink.out);
  result.err = std::move(sink.err);
  result.files = std::move(disk.files);
  return result;
}

TEST(ParallelRuns, FourThreadsGiveWhatOneAtATimeGives) {
  if (!std::filesystem::is_directory(ZR17_E2E_DIR)) GTEST_SKIP() << "no cases at " ZR17_E2E_DIR;
  const std::vector<case_run> cases = load_cases();
  ASSERT_GT(cases.size(), 100u);
  std::vector<outcome> expected;
  for (const case_run& c : cases) expected.push_back(run_one(c));

  std::vector<outcome> got(cases.size());
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (std::size_t i = next++; i < cases.size(); i = next++) got[i] = run_one(cases[i]);
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(got[i].status, expected[i].status) << cases[i].name;
    EXPECT_EQ(got[i].out, expected[i].out) << cases[i].name;
    EXPECT_EQ(got[i].err, expected[i].err) << cases[i].name;
    EXPECT_TRUE(got[i].files == expected[i].files) << cases[i].name;
  }
}

}  // namespace
