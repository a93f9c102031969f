#include "layout/layout_index.h"

#include <algorithm>
#include <cassert>

#include "core/program.h"
#include "core/opcode_table.h"

namespace {

/// A position per statement, and a free one after each bit form.
layout_index::slot_array list_slots(opcode_node& start_opcode) {
  // Counted first: the array is allocated once, at its size.
  std::size_t count = 0;
  opcode_node* node = &start_opcode;
  do {
    count += opcode_row(node->opcode).jump.is_bit_form() ? 2 : 1;
    node = node->next;
  } while (node != &start_opcode);
  layout_index::slot_array slots;
  slots.reserve(count);
  node = &start_opcode;
  do {
    slots.push_back({node, 0});
    // A rewrite may put a goto after a bit jump, or after a bit skip that a
    // skip conversion turns into one.
    if (opcode_row(node->opcode).jump.is_bit_form()) slots.push_back({});
    node = node->next;
  } while (node != &start_opcode);
  return slots;
}

std::vector<int> address_steps(const layout_index::slot_array& slots) {
  std::vector<int> steps(slots.size(), 0);
  int address = 0;
  for (size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].node == nullptr) continue;
    steps[i] = slots[i].node->address - address;
    address = slots[i].node->address;
  }
  return steps;
}

}  // namespace

layout_index::layout_index(program& prog)
    : slots_(list_slots(prog.start_opcode)), steps_(address_steps(slots_)) {
  const opcode_node* before = slots_[0].node;
  for (int position = next(0); position != end(); position = next(position)) {
    const opcode_node* node = slots_[position].node;
    set_gap(position, node->address - before->address - before->size);
    if (node->address == 0) at_zero_.insert(at_zero_.end(), position);
    before = node;
  }
}

int layout_index::next(int position) const {
  ++position;
  while (position < end() && slots_[position].node == nullptr) ++position;
  return position;
}

int layout_index::previous(int position) const {
  --position;
  while (slots_[position].node == nullptr) --position;
  return position;
}

void layout_index::refresh_gap(int position) {
  const int before = previous(position);
  set_gap(position, address(position) - address(before) - slots_[before].node->size);
}

void layout_index::set_gap(int position, int gap) {
  // Starting below the start of the statement before means a gap of more
  // than that statement's size below zero.
  const bool lower = gap < -slots_[previous(position)].node->size;
  const int old = slots_[position].gap;
  if (old == gap && lower == lower_.contains(position)) return;
  overlapping_.erase(position);
  lower_.erase(position);
  beyond_.erase(position);
  if (lower) {
    lower_.insert(position);
  } else if (gap < 0) {
    overlapping_.insert(position);
  } else if (gap > 0) {
    beyond_.insert(position);
  }
  slots_[position].gap = gap;
}

void layout_index::move(int first, int last, int bytes) {
  if (first >= last) return;
  steps_.add_range(first, last, bytes);
  moves_.push_back({first, last});
  at_zero_.erase(at_zero_.lower_bound(first), at_zero_.lower_bound(last));
}

int layout_index::first_after(const std::set<int>& set, int position) const {
  auto found = set.upper_bound(position);
  return found == set.end() ? end() : *found;
}

int layout_index::first_staying_after(int position) const {
  return std::min(first_after(beyond_, position), first_after(lower_, position));
}

void layout_index::widen(int grown) {
  const int first = next(grown);
  if (first == end()) return;
  refresh_gap(first);
  // Along a walk a statement moves when its gap is below the move of the
  // one before (0 or 1 byte) and it does not start below the one before; so
  // the move only changes where the gap is not 0, and only there does the
  // gap change.
  int position = grown;
  bool moving = false;
  int moved_from = 0;
  for (;;) {
    const int zero = first_after(at_zero_, position);
    const int turn = moving ? first_staying_after(position) : first_after(overlapping_, position);
    if (zero <= turn) {
      if (moving) move(moved_from, zero, 1);
      return;
    }
    if (moving) {
      set_gap(turn, slots_[turn].gap - 1);
      move(moved_from, turn, 1);
    } else {
      set_gap(turn, slots_[turn].gap + 1);
      moved_from = turn;
    }
    moving = !moving;
    position = turn;
  }
}

void layout_index::convert(int grown) {
  const int first = next(grown);
  if (first == end()) return;
  refresh_gap(first);
  if (slots_[first].gap >= 0 || lower_.contains(first)) return;
  set_gap(first, slots_[first].gap + 1);
  const int stop = first_staying_after(first);
  move(first, stop, 1);
  if (stop != end()) set_gap(stop, slots_[stop].gap - 1);
}

void layout_index::insert_after(int position, opcode_node* node, int address) {
  const int free = position + 1;
  // Each statement gains a goto at most once (see the class comment).
  assert(free < end() && slots_[free].node == nullptr);
  const int offset = address - this->address(position);
  slots_[free].node = node;
  const int following = next(free);
  steps_.add_range(free, following, offset);
  moves_.push_back({free, following});
  refresh_gap(free);
  if (address == 0) at_zero_.insert(free);
  if (following != end()) refresh_gap(following);
}

int layout_index::rewrite_walk(int inserted) {
  const int first = next(inserted);
  if (first == end()) return -1;
  if (slots_[first].gap >= 0 || lower_.contains(first)) return first;
  set_gap(first, slots_[first].gap + 2);
  // Every later statement moves along, so the walk can only stop where a
  // statement had two bytes of room or more before it, or starts a section
  // placed lower.
  int stop = first_after(lower_, first);
  for (auto it = beyond_.upper_bound(first); it != beyond_.end() && *it < stop; ++it) {
    if (slots_[*it].gap >= 2) {
      stop = *it;
      break;
    }
  }
  move(first, stop, 2);
  if (stop == end()) return -1;
  set_gap(stop, slots_[stop].gap - 2);
  return stop;
}

void layout_index::write_back() {
  const std::vector<int> addresses = steps_.take_prefix_sums();
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].node != nullptr) slots_[i].node->address = addresses[i];
  }
}
