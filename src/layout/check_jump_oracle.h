// The jump optimisation written the plain way: every pass visits every
// statement and every growth walks the rest of the list. The tests hold the
// fast check_jump against it.
#pragma once

#include "core/run_context.h"

/// Same contract as check_jump, in quadratic time.
void check_jump_oracle(run_context& run);
