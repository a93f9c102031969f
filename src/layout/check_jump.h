#pragma once

#include "core/run_context.h"
/// Widens and rewrites jumps until no address changes.
void check_jump(run_context& run);
