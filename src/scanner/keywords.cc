#include "scanner/keywords.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "core/opcode_table.h"

namespace {

/// An open-addressing table of the keywords (lower case in the instruction
/// table), looked up with a hash of the word folded to lower case: one
/// probe or two per word, no copy of the word, no division.
constexpr std::size_t SLOTS = 512;  // a power of two, several times the keyword count

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t slot_of(std::string_view word) {
  std::uint32_t hash = static_cast<std::uint32_t>(word.size());
  for (char c : word) hash = hash * 31 + static_cast<unsigned char>(lower(c));
  return (hash ^ (hash >> 9)) & (SLOTS - 1);
}

struct keyword_index {
  std::array<std::int16_t, SLOTS> id;  ///< opcode id, or -1 for an empty slot
  std::array<std::size_t, OPCODE_COUNT> length;
  std::size_t longest = 0;

  keyword_index() {
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
};

const keyword_index& index() {
  static const keyword_index table;
  return table;
}

}  // namespace

int keyword_opcode(std::string_view word) {
  const keyword_index& table = index();
  if (word.empty() || word.size() > table.longest) return -1;
  for (std::size_t slot = slot_of(word);; slot = (slot + 1) & (SLOTS - 1)) {
    int op = table.id[slot];
    if (op < 0) return -1;
    if (table.length[op] != word.size()) continue;
    const char* keyword = opcode_table[op].keyword;
    std::size_t i = 0;
    while (i < word.size() && lower(word[i]) == keyword[i]) ++i;
    if (i == word.size()) return op;
  }
}
