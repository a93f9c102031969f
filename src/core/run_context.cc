#include "core/run_context.h"

#include "core/paths.h"

std::string source_path::full() const {
  if (sep == 0) return dir;
  return join_path(dir, sep, name);
}
