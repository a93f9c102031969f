#include "output/output_names.h"

#include "driver/run_state.h"

std::string output_base_name() {
  const std::string::size_type dot = inpFileName.rfind('.');
  if (dot == std::string::npos) return inpFileName;
  return inpFileName.substr(0, dot);
}

std::string output_file_name(const char* suffix) {
  std::string name;
  if (inpFileSep != 0) {
    name = inpFilePath;
    name += inpFileSep;
  }
  name += output_base_name();
  name += suffix;
  return name;
}

std::string source_file_name() {
  if (inpFileSep == 0) return inpFilePath;
  return inpFilePath + inpFileSep + inpFileName;
}
