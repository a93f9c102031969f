// Fast recognition of the instruction keywords for the scanner.
#pragma once

#include <string_view>

/// The opcode id of a keyword in any letter case, or -1 (the same answer as
/// find_opcode_keyword, without a scan of the whole table per word).
int keyword_opcode(std::string_view word);
