// What the editor shows of an instruction, read from its row of the table.
#pragma once

#include <string>

#include "core/opcode_table.h"

namespace lsp {

/// The operands in short: "move reg, reg|n".
std::string instruction_signature(const opcode_info& row);

/// Markdown for a hover: operands with their ranges, size and encoding.
std::string instruction_markdown(const opcode_info& row);

}  // namespace lsp
