#include "layout/fenwick_tree.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(fenwick_tree, SumsFollowStepsThroughChanges) {
  std::mt19937 rng(7);
  for (int size : {1, 2, 3, 7, 8, 64, 100}) {
    std::vector<int> steps(size);
    for (int& step : steps) step = static_cast<int>(rng() % 21) - 10;
    fenwick_tree tree(steps);
    for (int round = 0; round < 50; ++round) {
      const int first = static_cast<int>(rng() % size);
      const int last = first + static_cast<int>(rng() % (size - first + 1));
      const int delta = static_cast<int>(rng() % 5) + 1;
      if (round % 2 == 0) {
        tree.add(first, delta);
        steps[first] += delta;
      } else {
        tree.add_range(first, last, delta);
        if (first < last) {
          steps[first] += delta;
          if (last < size) steps[last] -= delta;
        }
      }
      std::vector<int> sums = tree.prefix_sums();
      int sum = 0;
      for (int i = 0; i < size; ++i) {
        sum += steps[i];
        ASSERT_EQ(tree.prefix_sum(i), sum) << size << " " << round << " " << i;
        ASSERT_EQ(sums[i], sum) << size << " " << round << " " << i;
      }
    }
  }
}

}  // namespace
