// A Fenwick tree of integer steps: change one step, read the sum of a prefix,
// both in logarithmic time.
#pragma once

#include <vector>

class fenwick_tree {
 public:
  /// Builds the tree over `steps` in linear time.
  explicit fenwick_tree(const std::vector<int>& steps);
  /// The same in the array of the steps.
  explicit fenwick_tree(std::vector<int>&& steps);

  /// Adds `delta` to the step at `index`.
  void add(int index, int delta);
  /// Adds `delta` to every prefix sum from `first` up to (not including) `last`.
  void add_range(int first, int last, int delta);
  /// The sum of the steps 0..index.
  int prefix_sum(int index) const;
  /// Every prefix sum in order, in linear time.
  std::vector<int> prefix_sums() const;
  /// The same in the tree's own array, which leaves the tree empty.
  std::vector<int> take_prefix_sums();
  int size() const { return static_cast<int>(tree_.size()); }

 private:
  void build();
  /// From a tree in `sums` to its prefix sums.
  static void to_prefix_sums(std::vector<int>& sums);

  /// tree_[i] holds the sum of the steps (i - lowbit(i + 1), i].
  std::vector<int> tree_;
};
