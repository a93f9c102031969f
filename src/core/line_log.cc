#include "core/line_log.h"

std::uint32_t line_log::open_source(const char* name) {
  sources_.push_back({name, {}});
  return static_cast<std::uint32_t>(sources_.size() - 1);
}

std::size_t line_log::add_line(std::uint32_t source, std::uint32_t number, bool skipped) {
  lines_.push_back({source, number, skipped});
  return lines_.size() - 1;
}
