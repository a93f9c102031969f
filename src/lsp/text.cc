#include "lsp/text.h"

namespace lsp {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool starts_with_lower(std::string_view text, std::size_t at, std::string_view lowercase) {
  if (text.size() - at < lowercase.size()) return false;
  for (std::size_t i = 0; i < lowercase.size(); ++i) {
    if (lower(text[at + i]) != lowercase[i]) return false;
  }
  return true;
}

/// Bytes of the UTF-8 sequence that starts with `lead`; a stray byte counts alone.
std::size_t sequence_length(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

bool is_name_start(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

bool is_name_char(char c) { return is_name_start(c) || (c >= '0' && c <= '9'); }

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

int client_column(std::string_view line, std::size_t byte, column_unit unit) {
  if (byte > line.size()) byte = line.size();
  if (unit == column_unit::utf8) return static_cast<int>(byte);
  int column = 0;
  std::size_t i = 0;
  while (i < byte) {
    const std::size_t length = sequence_length(static_cast<unsigned char>(line[i]));
    column += length == 4 ? 2 : 1;
    i += length;
  }
  return column;
}

std::size_t byte_offset(std::string_view line, int column, column_unit unit) {
  if (column <= 0) return 0;
  if (unit == column_unit::utf8) {
    return static_cast<std::size_t>(column) < line.size() ? static_cast<std::size_t>(column)
                                                          : line.size();
  }
  int units = 0;
  std::size_t i = 0;
  while (i < line.size() && units < column) {
    const std::size_t length = sequence_length(static_cast<unsigned char>(line[i]));
    units += length == 4 ? 2 : 1;
    i += length;
  }
  return i < line.size() ? i : line.size();
}

std::vector<token> tokenize(std::string_view text) {
  std::vector<token> tokens;
  int line = 0;
  std::size_t line_start = 0;
  bool in_comment = false;
  bool line_has_token = false;  // a directive at a line's start only
  std::size_t i = 0;
  const auto new_line = [&](std::size_t next) {
    ++line;
    line_start = next;
    line_has_token = false;
  };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\n') {
      new_line(++i);
      continue;
    }
    if (in_comment) {
      if (c == '<' && starts_with_lower(text, i, "<endcomment>")) {
        in_comment = false;
        i += 12;
      } else {
        ++i;
      }
      continue;
    }
    if (c == ';') {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    if (c == '<' && starts_with_lower(text, i, "<comment>")) {
      in_comment = true;
      i += 9;
      continue;
    }
    if (c == '#' && i + 1 < text.size() && is_name_start(text[i + 1])) {
      std::size_t end = i + 1;
      while (end < text.size() && is_name_char(text[end])) ++end;
      const std::string_view word = text.substr(i, end - i);
      tokens.push_back({token_kind::directive, line, i - line_start, word});
      const bool at_start = !line_has_token;
      line_has_token = true;
      i = end;
      if (at_start && word.size() == 8 && starts_with_lower(word, 0, "#include")) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i < text.size() && (text[i] == '"' || text[i] == '<')) {
          const char closing = text[i] == '"' ? '"' : '>';
          const std::size_t name_start = ++i;
          while (i < text.size() && text[i] != closing && text[i] != '\n') ++i;
          token name{token_kind::include_name, line, name_start - line_start,
                     text.substr(name_start, i - name_start), closing == '>'};
          if (name.text.size() > 0 && name.text.back() == '\r') name.text.remove_suffix(1);
          tokens.push_back(name);
          // The rest of the line is not scanned by the assembler either.
          while (i < text.size() && text[i] != '\n') ++i;
        }
      }
      continue;
    }
    if (is_name_start(c)) {
      std::size_t end = i + 1;
      while (end < text.size() && is_name_char(text[end])) ++end;
      tokens.push_back({token_kind::identifier, line, i - line_start, text.substr(i, end - i)});
      line_has_token = true;
      i = end;
      continue;
    }
    if (c >= '0' && c <= '9') {
      std::size_t end = i + 1;
      while (end < text.size() && (is_name_char(text[end]) || text[end] == '.')) ++end;
      tokens.push_back({token_kind::number, line, i - line_start, text.substr(i, end - i)});
      line_has_token = true;
      i = end;
      continue;
    }
    if (c != ' ' && c != '\t' && c != '\r') line_has_token = true;
    ++i;
  }
  return tokens;
}

const token* token_at(const std::vector<token>& tokens, int line, std::size_t byte) {
  const token* found = nullptr;
  for (const token& t : tokens) {
    if (t.line < line) continue;
    if (t.line > line) break;
    if (t.start <= byte && byte <= t.start + t.text.size()) {
      found = &t;
      // A token that starts at the byte wins over one that ends there.
      if (t.start == byte || byte < t.start + t.text.size()) return found;
    }
  }
  return found;
}

std::vector<token> defined_names(const std::vector<token>& tokens) {
  std::vector<token> names;
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    const token& t = tokens[i];
    if (t.kind == token_kind::directive && t.text.size() == 7 &&
        starts_with_lower(t.text, 0, "#define") && tokens[i + 1].line == t.line &&
        tokens[i + 1].kind == token_kind::identifier) {
      names.push_back(tokens[i + 1]);
    }
  }
  return names;
}

std::size_t find_word(std::string_view line, std::string_view name) {
  if (!name.empty()) {
    std::size_t at = line.find(name);
    while (at != std::string_view::npos) {
      const bool before = at > 0 && is_name_char(line[at - 1]);
      const bool after = at + name.size() < line.size() && is_name_char(line[at + name.size()]);
      if (!before && !after) return at;
      at = line.find(name, at + 1);
    }
  }
  std::size_t first = 0;
  while (first < line.size() && (line[first] == ' ' || line[first] == '\t')) ++first;
  return first;
}

}  // namespace lsp
