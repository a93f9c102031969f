// The arena that owns a run's records and strings: big blocks, handed out in
// order and given back all at once when the run ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/memory_block.h"

class arena {
 public:
  arena() = default;
  arena(const arena&) = delete;
  arena& operator=(const arena&) = delete;

  /// A value-initialised `T` that lives as long as the arena. Nothing is
  /// destroyed: records hold nothing to release.
  template <class T>
  T* make() {
    static_assert(std::is_trivially_destructible_v<T>);
    return new (allocate(sizeof(T), alignof(T))) T{};
  }

  /// A NUL-terminated copy of `text` that lives as long as the arena.
  char* copy_string(std::string_view text);

 private:
  void* allocate(std::size_t bytes, std::size_t alignment);
  void* allocate_in_new_block(std::size_t bytes, std::size_t alignment);

  std::vector<memory_block> blocks_;
  std::byte* next_ = nullptr;  ///< the free part of the newest block
  std::size_t left_ = 0;       ///< bytes free from next_ on
};

inline void* arena::allocate(std::size_t bytes, std::size_t alignment) {
  const std::size_t skip =
      (alignment - reinterpret_cast<std::uintptr_t>(next_) % alignment) % alignment;
  if (bytes + skip > left_) return allocate_in_new_block(bytes, alignment);
  std::byte* result = next_ + skip;
  next_ = result + bytes;
  left_ -= bytes + skip;
  return result;
}
