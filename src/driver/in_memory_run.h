// Test support: one whole run of the assembler on an in-memory disk, with
// its standard output and standard error captured.
#pragma once

#include <string>
#include <vector>

#include "driver/driver.h"
#include "platform/disk.h"

struct run_result {
  int status = -1;
  std::string out;
  std::string err;
};

inline run_result assemble_in_memory(disk_interface& files, const std::string& path) {
  capture_sink sink;
  run_result result;
  result.status = assemble({path}, files, sink).status;
  result.out = std::move(sink.out);
  result.err = std::move(sink.err);
  return result;
}

inline const std::string BANNER = "--- ZR17 Assembler,          tessaro instrument works ---\n";
