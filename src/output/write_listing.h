// The listing: every source line read, in reading order through the included
// files, beside the address and final bytes of the statements on it.
#pragma once

#include <string>

#include "core/run_context.h"

/// Writes the listing from the run's line log to `path`. Addresses and bytes
/// are shown only when `laid_out`: the jump optimisation has given every
/// statement its final form and address.
void write_listing(run_context& run, const std::string& path, bool laid_out);
