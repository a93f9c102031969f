// The 64 KB program image that the statements are placed into.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/run_context.h"

constexpr int IMAGE_SIZE = 0x10000;

struct image_cell {
  std::uint8_t value = 0;
  bool used = false;
  std::string comment = "unused";
};

struct program_image {
  std::vector<image_cell> cells = std::vector<image_cell>(IMAGE_SIZE);
  /// The highest used address, or -1 when no cell is used.
  int highest_used() const;
};

/// Lays every statement's bytes into the image, in list order, reporting
/// address conflicts and a program that passes the end of memory.
void place_program(run_context& run, program_image& image);
