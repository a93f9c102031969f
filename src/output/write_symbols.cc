#include "output/write_symbols.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/appendf.h"
#include "output/output_file.h"

namespace {

struct symbol_line {
  const char* name;
  int kind;  ///< constants before labels of the same name
  std::string text;
};

}  // namespace

std::string symbols_text(const run_context& run) {
  std::vector<symbol_line> lines;
  const program& prog = run.prog;
  if (prog.start_const.next != nullptr) {
    const const_node* node = &prog.start_const;
    do {
      std::string text;
      appendf(text, "const\t%s\t%d\t0x%08X\t%s:%d\n", node->name, node->value,
              static_cast<std::uint32_t>(node->value), node->file, node->line);
      lines.push_back({node->name, 0, std::move(text)});
      node = node->next;
    } while (node != &prog.start_const);
  }
  if (prog.start_jumplabel.next != nullptr) {
    const jumplabel_node* node = &prog.start_jumplabel;
    do {
      std::string text;
      if (node->statement != nullptr) {
        appendf(text, "label\t%s\t%d\t0x%04X\t%s:%d\n", node->name, node->statement->address,
                static_cast<unsigned>(node->statement->address), node->file, node->line);
      } else {
        // A label at the end of the program stands for no statement.
        appendf(text, "label\t%s\t-\t-\t%s:%d\n", node->name, node->file, node->line);
      }
      lines.push_back({node->name, 1, std::move(text)});
      node = node->next;
    } while (node != &prog.start_jumplabel);
  }
  std::stable_sort(lines.begin(), lines.end(), [](const symbol_line& a, const symbol_line& b) {
    const int order = std::strcmp(a.name, b.name);
    return order != 0 ? order < 0 : a.kind < b.kind;
  });
  std::string text;
  for (const symbol_line& line : lines) text += line.text;
  return text;
}

void write_symbols(run_context& run, const std::string& path) {
  write_output_file(run, path, symbols_text(run));
}
