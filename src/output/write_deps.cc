#include "output/write_deps.h"

#include <algorithm>

#include "output/output_file.h"

std::string make_escaped(const std::string& name) {
  std::string escaped;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == ' ' || c == '\t') {
      // Backslashes before a blank are doubled, then the blank escaped.
      for (std::size_t j = i; j > 0 && name[j - 1] == '\\'; --j) escaped += '\\';
      escaped += '\\';
    } else if (c == '#') {
      escaped += '\\';
    } else if (c == '$') {
      escaped += '$';
    }
    escaped += c;
  }
  return escaped;
}

std::string deps_text(const std::vector<std::string>& outputs, const std::string& source,
                      const std::vector<std::string>& includes) {
  std::vector<std::string> prerequisites;
  for (const std::string& include : includes) {
    if (include != source &&
        std::find(prerequisites.begin(), prerequisites.end(), include) == prerequisites.end()) {
      prerequisites.push_back(include);
    }
  }
  std::string text;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (i > 0) text += " \\\n ";
    text += make_escaped(outputs[i]);
  }
  // Appended piece by piece: GCC 12 at -O3 sees overlaps in `" " + name`
  // that are not there (-Wrestrict).
  text += ": ";
  text += make_escaped(source);
  for (const std::string& include : prerequisites) {
    text += " \\\n ";
    text += make_escaped(include);
  }
  text += '\n';
  // An empty rule per include: a deleted include is then no error to make.
  for (const std::string& include : prerequisites) {
    text += '\n';
    text += make_escaped(include);
    text += ":\n";
  }
  return text;
}

void write_deps(run_context& run, const std::string& path) {
  // Angled includes are opened under the working directory; the rule names
  // them from there, like every other name in it.
  std::vector<std::string> includes;
  const std::string& cwd = run.working_directory;
  for (const std::string& include : run.included_sources) {
    const bool below = !cwd.empty() && include.size() > cwd.size() + 1 &&
                       include.compare(0, cwd.size(), cwd) == 0 &&
                       (include[cwd.size()] == '/' || include[cwd.size()] == '\\');
    includes.push_back(below ? include.substr(cwd.size() + 1) : include);
  }
  write_output_file(run, path, deps_text(run.outputs_written, run.source.full(), includes));
}
