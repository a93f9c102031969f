// The 64 KB program image that the statements are placed into.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/run_context.h"
#include "platform/memory_block.h"

constexpr int IMAGE_SIZE = 0x10000;

/// One byte of the image. Its comment in the hex file is made when the file
/// is written, from the statement that put the byte there last: a comment
/// string per cell made the image 2.6 MB and most of a small run's time.
struct image_cell {
  /// The statement whose byte this is; null for the comment "unused".
  const opcode_node* statement = nullptr;
  std::uint8_t value = 0;
  bool used = false;
  std::uint8_t form = 0;    ///< the comment's form (see encoding)
  std::uint8_t suffix = 0;  ///< the byte's place from the end of its statement
};

/// The comment of a cell in the hex file: "unused", or the statement's.
void append_cell_comment(std::string& text, const image_cell& cell);

struct program_image {
  std::vector<image_cell, block_allocator<image_cell>> cells =
      std::vector<image_cell, block_allocator<image_cell>>(IMAGE_SIZE);
  /// The highest used address, or -1 when no cell is used.
  int highest_used() const;
};

/// Lays every statement's bytes into the image, in list order, reporting
/// address conflicts and a program that passes the end of memory.
void place_program(run_context& run, program_image& image);
