#include <cstdio>
#include <string>
#include <vector>

#include "driver/driver.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  int status = run_assembler(args);
  std::fflush(stdout);
  return status;
}
