#include "scanner/definitions.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

/// In the order of their "#define" lines; names are never removed in a run.
std::vector<std::string> definitions;

}  // namespace

void define_name(std::string_view name) { definitions.emplace_back(name); }

bool is_defined(std::string_view name) {
  return std::find(definitions.rbegin(), definitions.rend(), name) != definitions.rend();
}

void definitions_reset() { definitions.clear(); }
