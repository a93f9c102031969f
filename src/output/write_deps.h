// The dependency file: make's format, as a compiler's -MD -MP writes it, so
// that make and ninja rebuild when the source or an include it read changes.
#pragma once

#include <string>
#include <vector>

#include "core/run_context.h"

/// A file name escaped for a make rule: blanks, '#' and '$'.
std::string make_escaped(const std::string& name);

/// The rule "OUTPUTS: SOURCE INCLUDES..." and an empty rule per include.
std::string deps_text(const std::vector<std::string>& outputs, const std::string& source,
                      const std::vector<std::string>& includes);

/// Writes the dependency file of the run's outputs to `path`.
void write_deps(run_context& run, const std::string& path);
