// Fast recognition of the instruction keywords for the scanner.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/opcode_table.h"

/// An open-addressing table of the keywords (lower case in the instruction
/// table), looked up with a hash of the word folded to lower case: one probe
/// or two per word, no copy of the word, no division. Each scanner builds
/// its own, so that no table is shared between runs.
class keyword_table {
 public:
  static constexpr std::size_t SLOTS = 512;  ///< a power of two, several times the keyword count

  keyword_table();

  /// The opcode id of a keyword in any letter case, or -1 (the same answer
  /// as find_opcode_keyword, without a scan of the whole table per word).
  int find(std::string_view word) const;

 private:
  std::array<std::int16_t, SLOTS> id;  ///< opcode id, or -1 for an empty slot
  std::array<std::size_t, OPCODE_COUNT> length;
  std::size_t longest = 0;
};
