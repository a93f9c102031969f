// The names recorded by "#define" and tested by "#ifdef".
#pragma once

#include <string_view>

/// Records a name; defining a name twice records it twice.
void define_name(std::string_view name);
/// True when `name` was recorded, compared with its exact letters.
bool is_defined(std::string_view name);
/// Forgets every name.
void definitions_reset();
