// Inputs at the edges of size and sanity: each gets its message and exit
// status, in bounded time and memory, and leaves nothing behind.
#include <gtest/gtest.h>

#include <string>

#include "driver/in_memory_run.h"

namespace {

std::string success(const std::string& path) {
  return BANNER + "INFO: " + path + ": Processing was successful\n";
}

TEST(Robustness, LinesOfSeveralMegabytes) {
  memory_disk files;
  const std::string name(3 << 20, 'n');
  files.files["big.asm"] = " ORG 0\nCONST " + name + " 5\n nop" + std::string(4 << 20, ' ') +
                           "; " + std::string(4 << 20, '|') + "\n bytesel " + name + "\n";
  run_result result = assemble_in_memory(files, "big.asm");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, success("big.asm"));
  EXPECT_NE(files.files["big.hex"].find("0000: 00 DD"), std::string::npos);
}

TEST(Robustness, AHundredMegabyteComment) {
  memory_disk files;
  std::string source = " ORG 0\n nop ;";
  source.append(100 << 20, 'c');
  source += "\n<COMMENT>";
  source.append(20 << 20, '<');
  source += "<ENDCOMMENT> stop\n";
  files.files["c.asm"] = std::move(source);
  run_result result = assemble_in_memory(files, "c.asm");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, success("c.asm"));
  EXPECT_EQ(files.files["c_sim.hex"], "00 CD \n\n");
}

TEST(Robustness, IncludesNestedAThousandDeep) {
  memory_disk files;
  files.files["src/main.asm"] = " ORG 0\n#include \"a0.inc\"\n stop\n";
  for (int i = 0; i < 1000; ++i) {
    files.files["src/a" + std::to_string(i) + ".inc"] =
        i < 999 ? "#include \"a" + std::to_string(i + 1) + ".inc\"\n" : " nop\n";
  }
  run_result result = assemble_in_memory(files, "src/main.asm");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, success("src/main.asm"));
  EXPECT_EQ(files.files["src/main.dbg"].substr(files.files["src/main.dbg"].find("0000")),
            "0000: 1 src/a999.inc\n0001: 3 src/main.asm\n\n\n");
}

TEST(Robustness, AChainOfIncludesBackToItselfIsOneRecursionError) {
  memory_disk files;
  files.files["m.asm"] = " ORG 0\n#include \"a.inc\"\n";
  files.files["a.inc"] = "#include \"b.inc\"\n";
  files.files["b.inc"] = " nop\n#include \"a.inc\"\n";
  run_result result = assemble_in_memory(files, "m.asm");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, BANNER + "b.inc:2: Error: infinite include file recursion\n"
                                 "Info: Could not parse file\n");
}

/// A disk whose sources fail in the middle of reading.
class failing_disk : public memory_disk {
 public:
  std::unique_ptr<source_reader> open_source(const std::string&, std::string&) override {
    class broken : public source_reader {
     public:
      long read(char* buffer, std::size_t max) override {
        if (given_) return -1;
        given_ = true;
        const std::string text = " ORG 0\n nop\n";
        std::size_t count = std::min(max, text.size());
        text.copy(buffer, count);
        return static_cast<long>(count);
      }

     private:
      bool given_ = false;
    };
    return std::make_unique<broken>();
  }
};

TEST(Robustness, AReadErrorStopsTheScannerWithStatusTwo) {
  failing_disk files;
  run_result result = assemble_in_memory(files, "bad.asm");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, BANNER);
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

TEST(Robustness, ManyRunsInOneProcessGiveTheSameResultAsTheFirst) {
  memory_disk good;
  good.files["p.asm"] = " ORG 0\nCONST K 3\nloop: skipEQ K\n goto loop\n#define X\n";
  memory_disk bad;
  bad.files["p.asm"] = " ORG 0\nloop: nop\nloop: nop\n goto\n";
  run_result first = assemble_in_memory(good, "p.asm");
  const std::string hex = good.files["p.hex"];
  for (int i = 0; i < 3; ++i) {
    run_result failed = assemble_in_memory(bad, "p.asm");
    EXPECT_EQ(failed.status, 1);
    run_result again = assemble_in_memory(good, "p.asm");
    EXPECT_EQ(again.out, first.out);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(good.files["p.hex"], hex);
  }
}

}  // namespace
