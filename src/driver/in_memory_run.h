// Test support: one whole run of the assembler on an in-memory disk, with
// its standard output and standard error captured.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver.h"
#include "platform/disk.h"

struct run_result {
  int status = -1;
  std::string out;
  std::string err;
};

inline run_result assemble(disk_interface& files, const std::string& path) {
  set_disk(&files);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  run_result result;
  result.status = run_assembler({path});
  result.out = testing::internal::GetCapturedStdout();
  result.err = testing::internal::GetCapturedStderr();
  set_disk(nullptr);
  return result;
}

inline const std::string BANNER = "--- ZR17 Assembler,          tessaro instrument works ---\n";
