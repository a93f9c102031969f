#include "scanner/keywords.h"

#include <string>
#include <unordered_map>

#include "core/opcode_table.h"

namespace {

/// Keywords are lower case in the table and none is longer than this.
constexpr std::size_t LONGEST_KEYWORD = 9;

const std::unordered_map<std::string_view, int>& keyword_ids() {
  static const std::unordered_map<std::string_view, int> ids = [] {
    std::unordered_map<std::string_view, int> table;
    for (int id = 0; id < OPCODE_COUNT; ++id) table.emplace(opcode_table[id].keyword, id);
    return table;
  }();
  return ids;
}

}  // namespace

int keyword_opcode(std::string_view word) {
  if (word.empty() || word.size() > LONGEST_KEYWORD) return -1;
  char lower[LONGEST_KEYWORD];
  for (std::size_t i = 0; i < word.size(); ++i) {
    char c = word[i];
    lower[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  auto found = keyword_ids().find(std::string_view(lower, word.size()));
  return found != keyword_ids().end() ? found->second : -1;
}
