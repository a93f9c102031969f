// libFuzzer target: assembles the input as a main source, in memory, through
// every stage including the output files, each run a fresh one.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "driver/driver.h"
#include "platform/disk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  memory_disk files;
  files.files["src/fuzz.asm"] = std::string(reinterpret_cast<const char*>(data), size);
  files.files["src/inc.asm"] = " nop\n";
  files.files["/work/lib/lib.inc"] = "CONST LIBVALUE 7\n";
  capture_sink sink;
  assemble({"src/fuzz.asm"}, files, sink);
  return 0;
}
