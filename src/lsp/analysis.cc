#include "lsp/analysis.h"

#include <map>

#include "driver/driver.h"
#include "lsp/text.h"
#include "lsp/uri.h"

namespace lsp {

namespace {

/// Keeps the records of a run; the console text is not wanted, except the
/// lines on standard error that no record carries (a usage error).
class record_sink : public diagnostic_sink {
 public:
  void report(const diagnostic& message) override { records.push_back(message); }
  void write(stream where, std::string_view text) override {
    if (where == stream::err) stray_errors += text;
  }

  std::vector<diagnostic> records;
  std::string stray_errors;
};

/// A fatal end names its place in its text: "FILE:LINE: Fatal error: WHY".
void place_fatal(message_record& record) {
  constexpr std::string_view marker = ": Fatal error: ";
  const std::size_t at = record.text.find(marker);
  if (at == std::string::npos || !record.file.empty()) return;
  const std::string place = record.text.substr(0, at);
  const std::size_t colon = place.rfind(':');
  if (colon == std::string::npos || colon + 1 == place.size()) return;
  int line = 0;
  for (std::size_t i = colon + 1; i < place.size(); ++i) {
    if (place[i] < '0' || place[i] > '9' || line > 100000000) return;
    line = line * 10 + (place[i] - '0');
  }
  record.file = normalize_path(place.substr(0, colon));
  record.line = line;
  record.text = "Fatal error: " + record.text.substr(at + marker.size());
}

}  // namespace

std::vector<std::string> run_arguments(const std::string& main_path, const run_settings& settings,
                                       overlay_disk& disk, std::vector<std::string>& dropped) {
  // The warnings, and the GNU form for its plain texts (no "Error:" prefixes).
  std::vector<std::string> args{"--diagnostics=gnu"};
  if (settings.warnings) args.push_back("-W");
  const std::string root = disk.working_directory();
  for (const std::string& dir : settings.include_dirs) {
    std::string path = is_absolute_path(dir) || root.empty()
                           ? dir
                           : root + (native_style() == path_style::windows ? "\\" : "/") + dir;
    if (!disk.is_directory(path)) {
      dropped.push_back(dir);
      continue;
    }
    args.push_back("-I");
    args.push_back(path);
  }
  for (const std::string& name : settings.defines) {
    if (name.empty()) continue;
    args.push_back("-D");
    args.push_back(name);
  }
  args.push_back(main_path);
  return args;
}

analysis analyse(const std::string& main_path, const run_settings& settings, overlay_disk& disk) {
  analysis result;
  result.main = normalize_path(main_path);
  std::vector<std::string> dropped;
  const std::vector<std::string> args = run_arguments(main_path, settings, disk, dropped);
  record_sink sink;
  disk.take_opened();
  // No output text: the files would be dropped, and making them costs a
  // third of a run. Placing the program still reports its conflicts.
  assembly run = assemble(args, disk, sink, run_outputs::check_only);
  result.files = disk.take_opened();
  result.files.insert(result.main);
  result.status = run.status;
  result.complete = run.status == 0 && run.errors == 0;

  for (const diagnostic& message : sink.records) {
    message_record record;
    record.file = message.file.empty() ? std::string() : normalize_path(message.file);
    record.line = message.line;
    record.column = message.column;
    record.end_column = message.end_column;
    record.level = message.level;
    record.code = std::string(message_name(message.id));
    record.text = message.text + message.detail;
    if (message.id == message_id::fatal) place_fatal(record);
    result.messages.push_back(std::move(record));
  }
  if (!sink.stray_errors.empty()) {
    std::string text = sink.stray_errors;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    result.messages.push_back({{}, 0, 0, 0, severity::error, "usage", text});
  }
  for (const std::string& dir : dropped) {
    result.messages.push_back({{},
                               0,
                               0,
                               0,
                               severity::warning,
                               "include-dir",
                               "include directory '" + dir + "' does not exist"});
  }

  // The records name their files by the run's own strings: one normalisation each.
  std::map<const char*, std::string> names;
  const auto file_of = [&names](const char* file) -> const std::string& {
    auto found = names.find(file);
    if (found == names.end()) {
      found = names.emplace(file, file != nullptr ? normalize_path(file) : std::string()).first;
    }
    return found->second;
  };
  if (run.run != nullptr) {
    const program& prog = run.run->prog;
    if (prog.start_const.next != nullptr) {
      const const_node* node = &prog.start_const;
      do {
        if (node->name != nullptr) {
          symbol item{symbol::constant, node->name, file_of(node->file), node->line, node->value};
          result.symbols.push_back(std::move(item));
        }
        node = node->next;
      } while (node != &prog.start_const);
    }
    if (prog.start_jumplabel.next != nullptr) {
      const jumplabel_node* node = &prog.start_jumplabel;
      do {
        if (node->name != nullptr) {
          symbol item{symbol::label, node->name, file_of(node->file), node->line};
          if (result.complete && node->statement != nullptr) {
            item.has_address = true;
            item.address = node->statement->address;
          }
          result.symbols.push_back(std::move(item));
        }
        node = node->next;
      } while (node != &prog.start_jumplabel);
    }
  }
  for (const std::string& name : settings.defines) {
    result.symbols.push_back({symbol::define, name, {}, 0});
  }
  for (const std::string& file : result.files) {
    const std::string text = disk.read(file);
    for (const token& name : defined_names(tokenize(text))) {
      result.symbols.push_back({symbol::define, std::string(name.text), file, name.line + 1});
    }
  }
  return result;
}

}  // namespace lsp
