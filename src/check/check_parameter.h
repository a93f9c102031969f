// The three operand checks: each compares a statement's operands with its
// instruction's signature and reports every mismatch as one error line.
#pragma once

#include <cstdint>

#include "core/diagnostics.h"

struct opcode_node;

/// The general check: per position the required kind and, for a number, an
/// inclusive upper bound (compared unsigned).
void check_parameter(diagnostics& diag, const opcode_node* node, std::uint32_t bound1, int kind1,
                     std::uint32_t bound2, int kind2, std::uint32_t bound3, int kind3);
/// A register, then a register or a number of any value.
void check_parameter2(diagnostics& diag, const opcode_node* node);
/// A register, then nothing or a count 0..`count_bound`.
void check_parameter3(diagnostics& diag, const opcode_node* node, std::uint32_t count_bound);
