#include "output/output_names.h"

#include "core/paths.h"
#include "platform/path_style.h"

std::string output_base_name(const source_path& source) {
  const std::string::size_type dot = source.name.rfind('.');
  if (dot == std::string::npos) return source.name;
  return source.name.substr(0, dot);
}

std::string output_file_name(const run_context& run, const char* suffix) {
  std::string name;
  if (const std::string& dir = run.options.output_dir; !dir.empty()) {
    name = dir;
    // The directory is joined in the separator style it was written in.
    if (!is_path_separator(dir.back())) {
      const std::string::size_type last = dir.find_last_of("/\\");
      name += last != std::string::npos ? dir[last] : native_separator();
    }
  } else if (run.source.sep != 0) {
    name = run.source.dir;
    name += run.source.sep;
  }
  name += output_base_name(run.source);
  name += suffix;
  return name;
}
