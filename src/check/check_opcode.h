#pragma once

#include "core/run_context.h"
/// Checks every statement, sets sizes, resolves labels and assigns addresses.
void check_opcode(run_context& run);
