#include "layout/fenwick_tree.h"

#include <utility>

namespace {

int low_bit(int i) { return i & -i; }

}  // namespace

fenwick_tree::fenwick_tree(const std::vector<int>& steps) : tree_(steps) { build(); }

fenwick_tree::fenwick_tree(std::vector<int>&& steps) : tree_(std::move(steps)) { build(); }

void fenwick_tree::build() {
  const int n = size();
  for (int i = 1; i <= n; ++i) {
    const int parent = i + low_bit(i);
    if (parent <= n) tree_[parent - 1] += tree_[i - 1];
  }
}

void fenwick_tree::add(int index, int delta) {
  const int n = size();
  for (int i = index + 1; i <= n; i += low_bit(i)) tree_[i - 1] += delta;
}

void fenwick_tree::add_range(int first, int last, int delta) {
  if (first >= last) return;
  add(first, delta);
  if (last < size()) add(last, -delta);
}

int fenwick_tree::prefix_sum(int index) const {
  int sum = 0;
  for (int i = index + 1; i > 0; i -= low_bit(i)) sum += tree_[i - 1];
  return sum;
}

std::vector<int> fenwick_tree::prefix_sums() const {
  std::vector<int> sums(tree_);
  to_prefix_sums(sums);
  return sums;
}

std::vector<int> fenwick_tree::take_prefix_sums() {
  std::vector<int> sums = std::move(tree_);
  tree_.clear();
  to_prefix_sums(sums);
  return sums;
}

void fenwick_tree::to_prefix_sums(std::vector<int>& sums) {
  // Undo the build to get the steps back, then add them up.
  const int n = static_cast<int>(sums.size());
  for (int i = n; i >= 1; --i) {
    const int parent = i + low_bit(i);
    if (parent <= n) sums[parent - 1] -= sums[i - 1];
  }
  for (int i = 1; i < n; ++i) sums[i] += sums[i - 1];
}
