#include "output/write_listing.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "core/opcode_table.h"
#include "output/encode.h"
#include "output/output_file.h"
#include "output/text_format.h"

namespace {

/// Where each line of a source's text starts. A last line without a line
/// feed is a line; the nothing after a final line feed is not.
std::vector<std::size_t> line_starts(const std::string& text) {
  std::vector<std::size_t> starts;
  std::size_t start = 0;
  while (start < text.size()) {
    starts.push_back(start);
    const std::size_t feed = text.find('\n', start);
    if (feed == std::string::npos) break;
    start = feed + 1;
  }
  return starts;
}

/// The text of line `number` (from 1) without its line end.
std::string_view line_text(const std::string& text, const std::vector<std::size_t>& starts,
                           std::uint32_t number) {
  const std::size_t start = starts[number - 1];
  std::size_t end = number < starts.size() ? starts[number] : text.size();
  if (end > start && text[end - 1] == '\n') --end;
  if (end > start && text[end - 1] == '\r') --end;
  return std::string_view(text).substr(start, end - start);
}

/// The widest instruction of the set, in bytes.
std::size_t widest_instruction() {
  std::size_t widest = 1;
  for (const opcode_info& row : opcode_table) {
    widest = std::max<std::size_t>({widest, row.size.a, row.size.b});
  }
  return widest;
}

void pad_to(std::string& row, std::size_t column) {
  if (row.size() < column) row.append(column - row.size(), ' ');
}

void end_row(std::string& text, std::string& row) {
  text += row;
  text += '\n';
  row.clear();
}

/// Address and bytes of a statement: the first two columns of a row.
void append_code(std::string& row, const opcode_node* node) {
  append_hex(row, static_cast<unsigned>(node->address), 4);
  pad_to(row, 6);
  const encoding code = encode(node);
  for (std::size_t i = 0; i < code.bytes.size(); ++i) {
    if (i > 0) row += ' ';
    append_hex(row, code.bytes[i], 2);
  }
}

}  // namespace

void write_listing(run_context& run, const std::string& path, bool laid_out) {
  const line_log& log = *run.lines;
  const std::vector<line_log::line>& lines = log.lines();

  // The statements that make code, by the index of their line in the log;
  // list order is kept within a line.
  std::vector<std::pair<std::size_t, const opcode_node*>> statements;
  const program& prog = run.prog;
  if (laid_out && prog.start_opcode.next != nullptr) {
    std::size_t previous = line_log::npos;
    const opcode_node* node = &prog.start_opcode;
    do {
      // The goto that the jump optimisation puts after a bit jump carries
      // number 0, which only the first statement has besides it.
      const std::size_t line = node != &prog.start_opcode && node->op_index == 0
                                   ? previous
                                   : log.statement_line(static_cast<std::size_t>(node->op_index));
      if (line != line_log::npos && node->opcode != OP_ORG) statements.emplace_back(line, node);
      previous = line;
      node = node->next;
    } while (node != &prog.start_opcode);
    std::stable_sort(statements.begin(), statements.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }

  std::vector<std::vector<std::size_t>> starts(log.sources().size());
  std::vector<bool> split(log.sources().size(), false);
  auto exists = [&](const line_log::line& line) {
    if (!split[line.source]) {
      starts[line.source] = line_starts(log.sources()[line.source].text);
      split[line.source] = true;
    }
    return line.number <= starts[line.source].size();
  };

  // Columns: address, bytes, the skip mark, file:line, the source text.
  const std::size_t mark_column = 6 + 3 * widest_instruction() - 1 + 2;
  const std::size_t place_column = mark_column + 2;
  std::size_t text_column = place_column + std::strlen("File:Line") + 2;
  for (const line_log::line& line : lines) {
    if (!exists(line)) continue;
    std::string place = log.sources()[line.source].name;
    place += ':';
    append_dec(place, line.number);
    text_column = std::max(text_column, place_column + place.size() + 2);
  }

  output_writer out(run, path);
  std::string& text = out.text;
  text = "ZR17 Assembler listing of ";
  text += run.source.full();
  text += '\n';
  if (!laid_out) text += "No addresses or bytes: the program has errors.\n";
  text += '\n';
  std::string row = "Addr  Bytes";
  pad_to(row, place_column);
  row += "File:Line";
  pad_to(row, text_column);
  row += "Source";
  end_row(text, row);

  auto statement = statements.begin();
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const line_log::line& line = lines[index];
    if (!exists(line)) continue;
    const line_log::source& source = log.sources()[line.source];
    while (statement != statements.end() && statement->first < index) ++statement;
    if (statement != statements.end() && statement->first == index) {
      append_code(row, statement->second);
      ++statement;
    }
    pad_to(row, mark_column);
    if (line.skipped) row += '-';
    pad_to(row, place_column);
    row += source.name;
    row += ':';
    append_dec(row, line.number);
    const std::string_view source_line = line_text(source.text, starts[line.source], line.number);
    if (!source_line.empty()) {
      pad_to(row, text_column);
      row += source_line;
    }
    end_row(text, row);
    // More statements on the line, or a jump that became two: a row each.
    for (; statement != statements.end() && statement->first == index; ++statement) {
      append_code(row, statement->second);
      end_row(text, row);
    }
    out.flush_if_full();
  }
  out.finish();
}
