#include "output/output_names.h"

std::string output_base_name(const source_path& source) {
  const std::string::size_type dot = source.name.rfind('.');
  if (dot == std::string::npos) return source.name;
  return source.name.substr(0, dot);
}

std::string output_file_name(const source_path& source, const char* suffix) {
  std::string name;
  if (source.sep != 0) {
    name = source.dir;
    name += source.sep;
  }
  name += output_base_name(source);
  name += suffix;
  return name;
}
