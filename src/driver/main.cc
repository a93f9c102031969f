#include <cstdio>
#include <string>
#include <vector>

#include "driver/driver.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  real_disk disk;
  console_sink console;
  const int status = assemble(args, disk, console).status;
  std::fflush(stdout);
  return status;
}
