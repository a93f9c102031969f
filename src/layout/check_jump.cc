#include "layout/check_jump.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <unordered_map>
#include <vector>

#include "core/program.h"
#include "core/opcode_table.h"
#include "layout/layout_index.h"

namespace {

jump_class jump_class_of(const opcode_node* node) { return opcode_row(node->opcode).jump.kind; }
/// A call never changes form, but one to a label that stands for nothing
/// ends the run like a jump to it.
bool is_label_call(const opcode_node* node) {
  return jump_class_of(node) == jump_class::call && node->p1_kind == PARAM_LABEL;
}

/// The count of a skip: operand 3 of the bit skips, operand 1 of the others.
param_value& count_value(opcode_node* skip) {
  return skip->p3_kind != PARAM_NONE ? skip->p3_value : skip->p1_value;
}
int& count_kind(opcode_node* skip) {
  return skip->p3_kind != PARAM_NONE ? skip->p3_kind : skip->p1_kind;
}

/// A statement that a pass may have to look at: a jump, or a skip that may
/// become one.
struct pass_entry {
  int position;
  const opcode_node* target;  ///< the target whose position is known
  int target_position;        ///< -1 when that target is not in the list
  /// How many moves the index had made when the target was last found in
  /// reach; `unknown` before that.
  std::size_t in_reach_at = unknown;

  static constexpr std::size_t unknown = static_cast<std::size_t>(-1);
};

/// A check of the moves since an entry was last in reach costs more than
/// reading the two addresses once this many have piled up.
constexpr std::size_t MOVES_WORTH_CHECKING = 8;

/// Only jumps and skips can change; a pass visits them alone, in list order,
/// and reads addresses from the index. Other statements are passed over by
/// every pass without effect.
class jump_optimiser {
 public:
  explicit jump_optimiser(run_context& run) : run_(run), index_(run.prog) { collect_entries(); }

  void run() {
    bool changed = true;
    while (changed) {
      changed = false;
      for (size_t i = 0; i < entries_.size(); ++i) visit(entries_[i], changed);
      drop_settled();
    }
    index_.write_back();
  }

 private:
  /// The jump optimisation cannot go on: the message is out, the run ends
  /// without a summary and without output files.
  [[noreturn]] void end_run() {
    index_.write_back();
    throw fatal_exit{1};
  }

  void collect_entries() {
    std::unordered_map<const opcode_node*, int> target_positions;
    for (int position = 0; position != index_.end(); position = index_.next(position)) {
      const opcode_node* node = index_.at(position);
      const opcode_node* target = jump_target(node);
      const jump_class kind = jump_class_of(node);
      if (kind == jump_class::none || (kind == jump_class::call && !is_label_call(node))) continue;
      entries_.push_back({position, target, -1, pass_entry::unknown});
      if (target != nullptr) target_positions.emplace(target, -1);
    }
    for (int position = 0; position != index_.end(); position = index_.next(position)) {
      auto found = target_positions.find(index_.at(position));
      if (found != target_positions.end()) found->second = position;
    }
    for (pass_entry& entry : entries_) {
      if (entry.target != nullptr) entry.target_position = target_positions[entry.target];
    }
  }

  /// The target a pass reads for `node`, or null.
  static const opcode_node* jump_target(const opcode_node* node) {
    const jump_class kind = jump_class_of(node);
    if (kind == jump_class::plain && node->p1_kind == PARAM_LABEL) return node->p1_value.target;
    if (kind == jump_class::bit_jump) return node->p3_value.target;
    return nullptr;
  }

  /// The address of the target of `entry`, which is `target`.
  int target_address(pass_entry& entry, const opcode_node* target) {
    if (target != entry.target) {
      entry.target = target;
      entry.target_position = position_of(target);
    }
    return entry.target_position < 0 ? target->address : index_.address(entry.target_position);
  }

  /// Slow, and only for a target that no entry knew: one a converted skip
  /// left in an operand that its new opcode does not read.
  int position_of(const opcode_node* node) const {
    for (int position = 0; position != index_.end(); position = index_.next(position)) {
      if (index_.at(position) == node) return position;
    }
    return -1;
  }

  /// Whether the distance of `entry` to `target` is still the one last found
  /// in reach: no move since has carried one of the two without the other.
  bool still_in_reach(pass_entry& entry, const opcode_node* target) {
    if (entry.in_reach_at == pass_entry::unknown || target != entry.target) return false;
    const std::vector<layout_index::moved_range>& moves = index_.moves();
    if (moves.size() - entry.in_reach_at > MOVES_WORTH_CHECKING) return false;
    for (std::size_t i = entry.in_reach_at; i < moves.size(); ++i) {
      const layout_index::moved_range& move = moves[i];
      const bool jump_moved = move.first <= entry.position && entry.position < move.last;
      const bool target_moved =
          move.first <= entry.target_position && entry.target_position < move.last;
      if (jump_moved != target_moved) return false;
    }
    entry.in_reach_at = moves.size();
    return true;
  }

  void visit(pass_entry& entry, bool& changed) {
    opcode_node* node = index_.at(entry.position);
    const jump_class kind = jump_class_of(node);
    if (is_label_call(node)) {
      if (node->p1_value.target == nullptr) {
        run_.diag.report(message_id::jumplabel_not_found, node->file, node->line);
        end_run();
      }
    } else if (kind == jump_class::plain && node->p1_kind == PARAM_LABEL) {
      const opcode_node* target = node->p1_value.target;
      if (target == nullptr) {
        run_.diag.report(message_id::jumplabel_not_found, node->file, node->line);
        end_run();
      }
      if (node->size != 2 || still_in_reach(entry, target)) return;
      const int distance = target_address(entry, target) - index_.address(entry.position);
      if (distance < -127 || distance > 127) {
        node->size = 3;
        index_.widen(entry.position);
        changed = true;
      } else {
        entry.in_reach_at = index_.moves().size();
      }
    } else if (kind == jump_class::bit_jump) {
      const opcode_node* target = node->p3_value.target;
      if (target == nullptr) {
        const char* name = node->p3_value.name;
        run_.diag.report(message_id::bit_jumplabel_not_found, node->file, node->line,
                         name != nullptr ? name : "",
                    static_cast<unsigned>(index_.address(entry.position)));
        end_run();
      }
      if (still_in_reach(entry, target)) return;
      const int distance = target_address(entry, target) - index_.address(entry.position);
      if (distance < -126 || distance > 127) {
        rewrite_bit_jump(entry);
        changed = true;
      } else {
        entry.in_reach_at = index_.moves().size();
      }
    }
  }

  /// Long plain jumps and statements that are neither jump nor skip never
  /// change again; later passes need not look at them.
  void drop_settled() {
    std::erase_if(entries_, [this](const pass_entry& entry) {
      const opcode_node* node = index_.at(entry.position);
      const jump_class kind = jump_class_of(node);
      if (opcode_row(node->opcode).jump.is_skip() || kind == jump_class::bit_jump) return false;
      return !(kind == jump_class::plain && node->p1_kind == PARAM_LABEL && node->size == 2);
    });
  }

  /// A bit jump out of reach becomes the opposite bit skip over a long goto.
  void rewrite_bit_jump(pass_entry& entry) {
    opcode_node* jump = index_.at(entry.position);
    opcode_node* far_jump = nullptr;
    try {
      far_jump = run_.prog.insert_opcode_after(jump);
    } catch (const std::bad_alloc&) {
      far_jump = nullptr;
    }
    if (far_jump == nullptr) {
      run_.diag.report(message_id::not_enough_memory, nullptr, 0);
      end_run();
    }
    const int address = index_.address(entry.position) + 2;
    far_jump->file = jump->file;
    far_jump->line = jump->line;
    far_jump->label = nullptr;
    far_jump->opcode = OP_GOTO;
    far_jump->p1_value = jump->p3_value;
    far_jump->p1_kind = PARAM_LABEL;
    far_jump->p2_value = param_value{};
    far_jump->p2_kind = PARAM_NONE;
    far_jump->p3_value = param_value{};
    far_jump->p3_kind = PARAM_NONE;
    far_jump->op_index = 0;
    far_jump->address = address;
    far_jump->size = 3;
    far_jump->org_fixed = 0;

    jump->opcode = opcode_row(jump->opcode).jump.becomes;
    jump->p3_value = param_value{1, nullptr, nullptr};
    jump->p3_kind = PARAM_NUMBER;
    jump->size = 2;
    index_.insert_after(entry.position, far_jump, address);

    fix_skip(entry.position);
    const int blocked = index_.rewrite_walk(index_.next(entry.position));
    if (blocked >= 0) {
      const opcode_node* node = index_.at(blocked);
      run_.diag.report(message_id::org_fixed_address, jump->file, jump->line, node->line,
                       node->file);
      end_run();
    }
  }

  /// The skips in the three statements before the one at `jump`, which now
  /// stands for two statements, are stretched to keep passing over what
  /// they passed over.
  void fix_skip(int jump) {
    int position = jump;
    for (int place = 1; place <= 3; ++place) {
      if (position == 0) return;
      position = index_.previous(position);
      opcode_node* node = index_.at(position);
      if (!opcode_row(node->opcode).jump.is_skip()) continue;
      param_value& count = count_value(node);
      if (count.num == 3) {
        convert_skip(position);
      } else if (count.num >= place) {
        ++count.num;
      }
    }
  }

  /// A skip that would have to pass over four statements becomes the jump
  /// with its condition, to the fifth statement after it.
  void convert_skip(int position) {
    opcode_node* skip = index_.at(position);
    int target = position;
    for (int i = 0; i < 5; ++i) {
      target = index_.next(target);
      if (target == index_.end()) {
        run_.diag.report(message_id::skip_beyond_end, skip->file, skip->line);
        end_run();
      }
    }
    count_value(skip) = param_value{0, nullptr, index_.at(target)};
    count_kind(skip) = PARAM_LABEL;
    skip->opcode = opcode_row(skip->opcode).jump.becomes;
    skip->size = opcode_row(skip->opcode).size.a;
    index_.convert(position);

    // Every skip has an entry; it now knows where its target is.
    auto entry = std::lower_bound(
        entries_.begin(), entries_.end(), position,
        [](const pass_entry& e, int wanted) { return e.position < wanted; });
    entry->target = index_.at(target);
    entry->target_position = target;
    entry->in_reach_at = pass_entry::unknown;
  }

  run_context& run_;
  layout_index index_;
  std::vector<pass_entry> entries_;  ///< in list order
};

}  // namespace

void check_jump(run_context& run) {
  if (run.prog.start_opcode.next == nullptr) return;
  jump_optimiser(run).run();
}
