// Where the statements stand while the jump optimisation moves them: the
// list in positions, addresses as sums of steps, and the gaps between
// neighbours, so that moving the rest of the program costs a few tree updates
// instead of a walk over every later statement.
#pragma once

#include <set>
#include <vector>

#include "layout/fenwick_tree.h"
#include "platform/memory_block.h"

class program;
struct opcode_node;

/// Positions follow list order from the head (position 0). A bit jump or bit
/// skip gets a free position after it for the goto its rewrite inserts: a
/// statement is rewritten at most once, since what it becomes (a bit skip of
/// count 1 over its goto) never turns into a bit jump again.
///
/// The gap of a statement is its address minus the end of the statement
/// before it. The walks that move statements decide by the gap alone, and
/// only where gaps are not 0 does anything change along a walk, so the index
/// keeps those positions in sorted sets. Addresses in the records are stale
/// until write_back.
class layout_index {
 public:
  /// Indexes the current program list, which must not be empty.
  explicit layout_index(program& prog);

  /// Number of positions, free ones included; one past the last statement.
  int end() const { return static_cast<int>(slots_.size()); }
  /// The statement at `position`, or null for a free position.
  opcode_node* at(int position) const { return slots_[position].node; }
  /// The next taken position after `position`, or end().
  int next(int position) const;
  /// The taken position before `position` (which must not be the head).
  int previous(int position) const;

  int address(int position) const { return steps_.prefix_sum(position); }

  /// The statement at `grown` is one byte longer: the widening walk. Every
  /// later statement that starts below the end of the one before it moves
  /// up one byte; the walk passes the others (and every statement that starts
  /// below the one before it) and ends at address 0.
  void widen(int grown);
  /// The statement at `grown` is one byte longer: the conversion walk. Later
  /// statements move up one byte up to the first one that does not start
  /// below the end of the one before it, or starts below its start.
  void convert(int grown);
  /// Puts `node`, already linked into the list after the statement at
  /// `position`, at `address` into the free position after it. Later
  /// statements stay where they are until rewrite_walk.
  void insert_after(int position, opcode_node* node, int address);
  /// The rewrite walk after the goto at `inserted`: later statements move up
  /// two bytes. Returns the position of the first one that did not start
  /// below the end of the one before it, or started below its start (the
  /// walk stops before it), or -1.
  int rewrite_walk(int inserted);

  /// Copies every address into its statement record; the index is used up.
  void write_back();

  /// A run of positions whose addresses changed together.
  struct moved_range {
    int first;
    int last;  ///< one past the run
  };
  /// Every change of addresses so far, oldest first.
  const std::vector<moved_range>& moves() const { return moves_; }

  /// A position: its statement (null for a free one) and, for a taken one
  /// other than the head, its gap.
  struct slot {
    opcode_node* node = nullptr;
    int gap = 0;
  };
  /// One array for both, in blocks that the system backs with huge pages
  /// when the program is big (platform/memory_block.h).
  using slot_array = std::vector<slot, block_allocator<slot>>;

 private:
  /// Recomputes the gap at `position` from the addresses and sizes.
  void refresh_gap(int position);
  void set_gap(int position, int gap);
  /// Moves the statements at first..last-1 up by `bytes`.
  void move(int first, int last, int bytes);
  /// The first position after `position` in `set`, or end().
  int first_after(const std::set<int>& set, int position) const;
  /// Where a moving walk meets a statement that stays: room before it, or a
  /// start below the statement before it.
  int first_staying_after(int position) const;

  slot_array slots_;
  fenwick_tree steps_;  ///< address of a position minus that of the one before
  /// Positions whose statement starts below the end of the one before, but
  /// not below its start.
  std::set<int> overlapping_;
  /// Positions whose statement starts below the start of the one before: the
  /// first statement of a section placed lower than the code before it in
  /// the list. No walk moves such a statement.
  std::set<int> lower_;
  std::set<int> beyond_;  ///< positions whose statement leaves room after the one before
  std::set<int> at_zero_;  ///< positions (head aside) whose statement sits at address 0
  std::vector<moved_range> moves_;
};
