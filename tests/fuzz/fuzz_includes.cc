// libFuzzer target for include and conditional handling: the input is split
// at NUL bytes into a main source and up to three include files, which can
// include each other in every form (quoted, angled, up-steps). The listing
// is asked for: it follows every line through includes and skipped parts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "platform/disk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0 && parts.size() < 4) {
      parts.emplace_back();
    } else {
      parts.back() += static_cast<char>(data[i]);
    }
  }
  parts.resize(4);
  memory_disk files;
  files.files["p/src/main.asm"] = parts[0];
  files.files["p/src/a.inc"] = parts[1];
  files.files["p/b.inc"] = parts[2];
  files.files["/work/lib/c.inc"] = parts[3];
  capture_sink sink;
  assemble({"--listing", "p/src/main.asm"}, files, sink);
  return 0;
}
