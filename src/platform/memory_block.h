// Zeroed memory for the run's large tables and arenas. A big program touches
// megabytes that a small one never does, and taking them from the system a
// page at a time cost more than all of the scanning: large blocks come from
// the system directly, asking it (where it can) for huge pages.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

/// At least `bytes` zeroed bytes, aligned for any object; throws
/// std::bad_alloc when there is no memory. Give them back with free_block
/// and the same `bytes`.
std::byte* allocate_block(std::size_t bytes);
void free_block(std::byte* data, std::size_t bytes);

/// Gives a block back with its size.
struct block_release {
  std::size_t bytes = 0;
  void operator()(std::byte* data) const { free_block(data, bytes); }
};

/// An owned block of zeroed bytes; empty when default-made.
class memory_block {
 public:
  memory_block() = default;
  explicit memory_block(std::size_t bytes)
      : data_(allocate_block(bytes), block_release{bytes}), size_(bytes) {}

  std::byte* data() const { return data_.get(); }
  std::size_t size() const { return size_; }

 private:
  std::unique_ptr<std::byte[], block_release> data_;
  std::size_t size_ = 0;
};

/// A standard allocator over allocate_block, for the arrays that grow with
/// the program.
template <class T>
struct block_allocator {
  using value_type = T;

  block_allocator() = default;
  template <class U>
  block_allocator(const block_allocator<U>&) {}

  T* allocate(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return reinterpret_cast<T*>(allocate_block(count * sizeof(T)));
  }
  void deallocate(T* data, std::size_t count) {
    free_block(reinterpret_cast<std::byte*>(data), count * sizeof(T));
  }

  template <class U>
  bool operator==(const block_allocator<U>&) const {
    return true;
  }
};
