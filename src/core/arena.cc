#include "core/arena.h"

#include <algorithm>
#include <cstring>

namespace {

/// A small program fits the first block; a big one goes on in blocks that
/// the system can back with huge pages (platform/memory_block.h).
constexpr std::size_t FIRST_BLOCK = std::size_t{64} << 10;
constexpr std::size_t LATER_BLOCK = std::size_t{2} << 20;
constexpr std::size_t LARGEST_BLOCK = std::size_t{16} << 20;

}  // namespace

void* arena::allocate_in_new_block(std::size_t bytes, std::size_t alignment) {
  std::size_t size = FIRST_BLOCK;
  if (!blocks_.empty()) size = std::clamp(2 * blocks_.back().size(), LATER_BLOCK, LARGEST_BLOCK);
  // A string longer than a block gets a block of its own size.
  size = std::max(size, bytes + alignment);
  if (blocks_.size() == blocks_.capacity()) blocks_.reserve(2 * blocks_.size() + 8);
  blocks_.emplace_back(size);
  next_ = blocks_.back().data();
  left_ = size;
  return allocate(bytes, alignment);
}

char* arena::copy_string(std::string_view text) {
  auto* copy = static_cast<char*>(allocate(text.size() + 1, 1));
  if (!text.empty()) std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}
