#include "layout/check_jump_oracle.h"

#include <new>

#include "core/program.h"
#include "core/opcode_table.h"

namespace {

/// The plain way, in one object per run.
struct oracle {
  run_context& run;


  /// The jump optimisation cannot go on: the message is out, the run ends
  /// without a summary and without output files.
  [[noreturn]] void end_run() {
  throw fatal_exit{1};
  }

  static jump_class jump_class_of(const opcode_node* node) {
    return opcode_row(node->opcode).jump.kind;
  }

  /// How the statements after a grown one are moved.
  enum class walk_rule {
  widening,    ///< +1; a statement that does not overlap stays, the walk goes on
  rewrite,     ///< +2; a statement that does not overlap was placed by ORG: fatal
  conversion,  ///< +1; the first statement that does not overlap ends the walk
  };

  void move_following(const opcode_node* grown, walk_rule rule, const opcode_node* cause) {
  const int step = rule == walk_rule::rewrite ? 2 : 1;
  int end = grown->address + grown->size;
  int before = grown->address;  // of the statement before, as the walk began
  for (opcode_node* node = grown->next; node != &run.prog.start_opcode; node = node->next) {
    if (rule == walk_rule::widening && node->address == 0) return;
    // A section placed lower than the statement before it is never moved.
    const bool lower = node->address < before;
    before = node->address;
    if (node->address < end && !lower) {
      node->address += step;
    } else if (rule == walk_rule::conversion) {
      return;
    } else if (rule == walk_rule::rewrite) {
      run.diag.report(message_id::org_fixed_address, cause->file, cause->line, node->line, node->file);
      end_run();
    }
    end = node->address + node->size;
  }
  }

  /// The count of a skip: operand 3 of the bit skips, operand 1 of the others.
  param_value& count_value(opcode_node* skip) {
  return skip->p3_kind != PARAM_NONE ? skip->p3_value : skip->p1_value;
  }
  int& count_kind(opcode_node* skip) {
  return skip->p3_kind != PARAM_NONE ? skip->p3_kind : skip->p1_kind;
  }

  /// A skip that would have to pass over four statements becomes the jump with
  /// its condition, to the fifth statement after it.
  void convert_skip(opcode_node* skip) {
  opcode_node* target = skip;
  for (int i = 0; i < 5; ++i) {
    target = target->next;
    if (target == &run.prog.start_opcode) {
      run.diag.report(message_id::skip_beyond_end, skip->file, skip->line);
      end_run();
    }
  }
  count_value(skip) = param_value{0, nullptr, target};
  count_kind(skip) = PARAM_LABEL;
  skip->opcode = opcode_row(skip->opcode).jump.becomes;
  skip->size = opcode_row(skip->opcode).size.a;
  move_following(skip, walk_rule::conversion, skip);
  }

  /// The skips in the three statements before `jump`, which now stands for two
  /// statements, are stretched to keep passing over what they passed over.
  void fix_skip(opcode_node* jump) {
  opcode_node* node = jump;
  for (int position = 1; position <= 3; ++position) {
    if (node == &run.prog.start_opcode) return;
    node = node->prev;
    if (!opcode_row(node->opcode).jump.is_skip()) continue;
    param_value& count = count_value(node);
    if (count.num == 3) {
      convert_skip(node);
    } else if (count.num >= position) {
      ++count.num;
    }
  }
  }

  /// A bit jump out of reach becomes the opposite bit skip over a long goto.
  /// Returns the inserted goto.
  opcode_node* rewrite_bit_jump(opcode_node* jump) {
  opcode_node* far_jump = nullptr;
  try {
    far_jump = run.prog.insert_opcode_after(jump);
  } catch (const std::bad_alloc&) {
    far_jump = nullptr;
  }
  if (far_jump == nullptr) {
    run.diag.report(message_id::not_enough_memory, nullptr, 0);
    end_run();
  }
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
  far_jump->address = jump->address + 2;
  far_jump->size = 3;
  far_jump->org_fixed = 0;

  jump->opcode = opcode_row(jump->opcode).jump.becomes;
  jump->p3_value = param_value{1, nullptr, nullptr};
  jump->p3_kind = PARAM_NUMBER;
  jump->size = 2;

  fix_skip(jump);
  move_following(far_jump, walk_rule::rewrite, jump);
  return far_jump;
  }

  /// Handles one statement of a pass; returns the statement the pass visits next.
  opcode_node* visit(opcode_node* node, bool& changed) {
  if (jump_class_of(node) == jump_class::call && node->p1_kind == PARAM_LABEL) {
    if (node->p1_value.target == nullptr) {
      run.diag.report(message_id::jumplabel_not_found, node->file, node->line);
      end_run();
    }
  } else if (jump_class_of(node) == jump_class::plain && node->p1_kind == PARAM_LABEL) {
    const opcode_node* target = node->p1_value.target;
    if (target == nullptr) {
      run.diag.report(message_id::jumplabel_not_found, node->file, node->line);
      end_run();
    }
    const int distance = target->address - node->address;
    if (node->size == 2 && (distance < -127 || distance > 127)) {
      node->size = 3;
      move_following(node, walk_rule::widening, node);
      changed = true;
    }
  } else if (jump_class_of(node) == jump_class::bit_jump) {
    const opcode_node* target = node->p3_value.target;
    if (target == nullptr) {
      const char* name = node->p3_value.name;
      run.diag.report(message_id::bit_jumplabel_not_found, node->file, node->line,
                  name != nullptr ? name : "", static_cast<unsigned>(node->address));
      end_run();
    }
    const int distance = target->address - node->address;
    if (distance < -126 || distance > 127) {
      changed = true;
      return rewrite_bit_jump(node)->next;
    }
  }
  return node->next;
  }

};

}  // namespace

void check_jump_oracle(run_context& run) {
  oracle plain{run};
  if (run.prog.start_opcode.next == nullptr) return;
  bool changed = true;
  while (changed) {
    changed = false;
    opcode_node* node = &run.prog.start_opcode;
    do {
      node = plain.visit(node, changed);
    } while (node != &run.prog.start_opcode);
  }
}
