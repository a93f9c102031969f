#include "scanner/keywords.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "core/opcode_table.h"

namespace {

constexpr std::size_t SLOTS = keyword_table::SLOTS;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t slot_of(std::string_view word) {
  std::uint32_t hash = static_cast<std::uint32_t>(word.size());
  for (char c : word) hash = hash * 31 + static_cast<unsigned char>(lower(c));
  return (hash ^ (hash >> 9)) & (SLOTS - 1);
}

}  // namespace

keyword_table::keyword_table() {
  id.fill(-1);
  for (int op = 0; op < OPCODE_COUNT; ++op) {
    std::string_view keyword = opcode_table[op].keyword;
    length[op] = keyword.size();
    if (keyword.size() > longest) longest = keyword.size();
    // A keyword listed twice keeps its first id, which its probes meet first.
    std::size_t slot = slot_of(keyword);
    while (id[slot] >= 0) slot = (slot + 1) & (SLOTS - 1);
    id[slot] = static_cast<std::int16_t>(op);
  }
}

int keyword_table::find(std::string_view word) const {
  if (word.empty() || word.size() > longest) return -1;
  for (std::size_t slot = slot_of(word);; slot = (slot + 1) & (SLOTS - 1)) {
    int op = id[slot];
    if (op < 0) return -1;
    if (length[op] != word.size()) continue;
    const char* keyword = opcode_table[op].keyword;
    std::size_t i = 0;
    while (i < word.size() && lower(word[i]) == keyword[i]) ++i;
    if (i == word.size()) return op;
  }
}
