#include "core/arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/program.h"
#include "platform/memory_block.h"

namespace {

bool aligned_for(const void* address, std::size_t alignment) {
  return reinterpret_cast<std::uintptr_t>(address) % alignment == 0;
}

}  // namespace

TEST(Arena, RecordsOfAManyBlockProgramKeepTheirContents) {
  // Enough statements for the first block and several big ones after it.
  arena records;
  std::vector<opcode_node*> made;
  for (int i = 0; i < 200000; ++i) {
    opcode_node* node = records.make<opcode_node>();
    ASSERT_TRUE(aligned_for(node, alignof(opcode_node)));
    EXPECT_EQ(node->next, nullptr);
    EXPECT_EQ(node->line, 0);
    node->line = i;
    node->address = ~i;
    made.push_back(node);
  }
  for (int i = 0; i < 200000; ++i) {
    ASSERT_EQ(made[i]->line, i);
    ASSERT_EQ(made[i]->address, ~i);
  }
}

TEST(Arena, StringsOfAnyLengthAreCopiedWholeAndRecordsAfterThemAligned) {
  arena records;
  EXPECT_STREQ(records.copy_string(""), "");
  const char* odd = records.copy_string("abc");
  EXPECT_STREQ(odd, "abc");
  EXPECT_TRUE(aligned_for(records.make<jumplabel_node>(), alignof(jumplabel_node)));

  // Longer than any block: it gets one of its own.
  const std::string huge(40u << 20, 'x');
  const char* copy = records.copy_string(huge);
  EXPECT_EQ(std::strlen(copy), huge.size());
  EXPECT_EQ(std::memcmp(copy, huge.data(), huge.size()), 0);
  const_node* after = records.make<const_node>();
  EXPECT_TRUE(aligned_for(after, alignof(const_node)));
  after->value = 7;
  EXPECT_STREQ(odd, "abc");
  EXPECT_EQ(copy[huge.size()], '\0');
}

TEST(MemoryBlock, BlocksOfEverySizeAreZeroedAndWritableToTheirEnd) {
  for (std::size_t size : {std::size_t{1}, std::size_t{4096}, std::size_t{512} << 10,
                           (std::size_t{3} << 20) + 5}) {
    memory_block block(size);
    ASSERT_NE(block.data(), nullptr);
    EXPECT_EQ(block.size(), size);
    for (std::size_t i = 0; i < size; i += 997) ASSERT_EQ(block.data()[i], std::byte{0}) << size;
    EXPECT_EQ(block.data()[size - 1], std::byte{0});
    std::memset(block.data(), 0xA5, size);
  }
}

TEST(MemoryBlock, AVectorGrowingPastTheLargeSizeKeepsItsElements) {
  std::vector<int, block_allocator<int>> values;
  for (int i = 0; i < 1000000; ++i) values.push_back(i);
  for (int i = 0; i < 1000000; ++i) ASSERT_EQ(values[i], i);
  values.clear();
  values.shrink_to_fit();
  EXPECT_EQ(values.capacity(), 0u);
}
