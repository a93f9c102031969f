#include "platform/memory_block.h"

#include <cstdint>
#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

/// Blocks from this size on are mapped from the system directly.
constexpr std::size_t LARGE = std::size_t{512} << 10;

#ifdef __linux__
/// The size of a huge page of the processors that have them (x86-64,
/// arm64 with 4 KB pages); elsewhere the advice below is merely ignored.
constexpr std::size_t HUGE_PAGE = std::size_t{2} << 20;

std::size_t mapped_size(std::size_t bytes) { return (bytes + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1); }

/// A mapping on a huge-page boundary, so that all of it can be huge pages:
/// the kernel backs each 2 MB with one page at the first touch instead of
/// faulting in 512 small ones.
std::byte* map_block(std::size_t bytes) {
  const std::size_t size = mapped_size(bytes);
  const std::size_t slack = size + HUGE_PAGE;
  void* mapped = mmap(nullptr, slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
  if (aligned != start) munmap(mapped, aligned - start);
  const std::size_t tail = start + slack - (aligned + size);
  if (tail != 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
  auto* block = reinterpret_cast<std::byte*>(aligned);
  // Only advice: without it (or without huge pages) the block works the same.
  madvise(block, size, MADV_HUGEPAGE);
  return block;
}
#endif

}  // namespace

std::byte* allocate_block(std::size_t bytes) {
#ifdef __linux__
  if (bytes >= LARGE) return map_block(bytes);
#endif
  void* data = std::calloc(bytes == 0 ? 1 : bytes, 1);
  if (data == nullptr) throw std::bad_alloc();
  return static_cast<std::byte*>(data);
}

void free_block(std::byte* data, std::size_t bytes) {
  if (data == nullptr) return;
#ifdef __linux__
  if (bytes >= LARGE) {
    munmap(data, mapped_size(bytes));
    return;
  }
#else
  (void)bytes;
#endif
  std::free(data);
}
