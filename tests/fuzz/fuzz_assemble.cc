// libFuzzer target: assembles the input as a main source, in memory, through
// every stage including the output files, with a fresh run state each time.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "driver/driver.h"
#include "platform/disk.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The assembler reports on stdout; thousands of runs a second would drown
  // the fuzzer's own output.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  memory_disk files;
  files.files["src/fuzz.asm"] = std::string(reinterpret_cast<const char*>(data), size);
  files.files["src/inc.asm"] = " nop\n";
  files.files["/work/lib/lib.inc"] = "CONST LIBVALUE 7\n";
  set_disk(&files);
  run_assembler({"src/fuzz.asm"});
  set_disk(nullptr);
  return 0;
}
