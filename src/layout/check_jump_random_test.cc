// check_jump against the plain-way algorithm on generated programs: the
// whole list after the run, or the fatal message, must be the same.
#include <algorithm>
#include <memory>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "testing/test_program.h"
#include "layout/check_jump.h"
#include "layout/check_jump_oracle.h"

namespace {

using namespace test_program;

/// What the generator makes of a label operand once every statement exists.
enum class aim { near_limit, far, anywhere, fixed, none, released };

/// Builds one program straight into the list, addresses and sizes set the
/// way the statement checks leave them, from a seed alone.
class program_generator {
 public:
  program_generator(run_context& run, unsigned seed) : run_(run), rng_(seed) {}

  void build() {
    const int sections = pick(1, 4);
    const int gap_odds = pick(0, 2) * 15;  // how often a section leaves room before it
    for (int section = 0; section < sections; ++section) {
      if (section > 0) start_section(gap_odds);
      const int blocks = pick(1, 7);
      for (int block = 0; block < blocks; ++block) add_block();
    }
    // A statement taken out of the list again, as an ORG record is: a label
    // may still designate it.
    released_ = run_.prog.add_opcode("gone.asm", 999, nullptr, OP_NOP, {}, PARAM_NONE, {}, PARAM_NONE, {},
                           PARAM_NONE, 0, pick(0, 400), 1);
    program::unlink_opcode(released_);
    resolve_targets();
  }

 private:
  struct label_use {
    opcode_node* node;
    param_value* operand;
    aim how;
    int target;  ///< the address wanted, for aim::fixed
  };

  operand lbl(const char* name) {
    return {PARAM_LABEL, {0, run_.prog.copy_string(name), nullptr}};
  }

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  bool chance(int percent) { return pick(0, 99) < percent; }

  opcode_node* statement(int opcode, int size, operand a = {}, operand b = {}, operand c = {}) {
    const char* file = chance(20) ? "b.asm" : "a.asm";
    opcode_node* node = run_.prog.add_opcode(file, line_++, nullptr, opcode, a.value, a.kind, b.value,
                                   b.kind, c.value, c.kind, 0, counter_, size);
    node->org_fixed = org_pending_;
    org_pending_ = 0;
    counter_ += size;
    nodes_.push_back(node);
    return node;
  }

  void use_label(opcode_node* node, param_value& operand_value, aim how, int target = 0) {
    uses_.push_back({node, &operand_value, how, target});
  }

  void filler(int count) {
    static const int sizes[] = {1, 1, 1, 1, 2, 3, 5, 6};
    for (int i = 0; i < count; ++i) statement(OP_NOP, sizes[pick(0, 7)]);
  }

  aim any_aim() {
    const int roll = pick(0, 999);
    if (roll < 6) return aim::none;
    if (roll < 11) return aim::released;
    if (roll < 450) return aim::near_limit;
    if (roll < 750) return aim::far;
    return aim::anywhere;
  }

  void plain_jump(aim how) {
    static const int ids[] = {OP_GOTO, OP_GOTOCARC, OP_GOTOCARS, OP_GOTOEQ, OP_GOTONE,
                              OP_GOTONEG, OP_GOTOOVRC, OP_GOTOOVRS, OP_GOTOPOS};
    opcode_node* node = statement(ids[pick(0, 8)], chance(3) ? 3 : 2, lbl("l"));
    use_label(node, node->p1_value, how);
  }

  void bit_jump(aim how) {
    opcode_node* node = statement(chance(50) ? OP_GOTOBITC : OP_GOTOBITS, 3, reg(pick(0, 3)),
                                  num(pick(0, 31)), lbl("b"));
    use_label(node, node->p3_value, how);
  }

  void skip(int count) {
    const int roll = pick(0, 9);
    if (roll < 4) {
      statement(chance(50) ? OP_SKIPBITC : OP_SKIPBITS, 2, reg(pick(0, 3)), num(pick(0, 31)),
                num(count));
    } else {
      statement(OP_SKIP + (roll == 4 ? 0 : pick(3, 10)), 1, num(count));
    }
  }

  /// Jumps a few bytes apart, each to the byte 127 ahead of it: widening one
  /// pushes the target of the one before out of reach, pass after pass.
  void chain() {
    const int count = pick(2, 14);
    const int spacing = pick(3, 24);
    const bool bits = chance(25);
    for (int k = 0; k < count; ++k) {
      const int start = counter_;
      const bool last = k == count - 1;
      if (bits && chance(30)) {
        bit_jump(aim::fixed);
      } else {
        plain_jump(aim::fixed);
      }
      uses_.back().target = start + 127 + (last ? 1 : 0);
      filler_bytes(spacing - (counter_ - start));
    }
    filler_bytes(131);
  }

  void filler_bytes(int bytes) {
    for (int i = 0; i < bytes; ++i) statement(OP_NOP, 1);
  }

  void add_block() {
    switch (pick(0, 10)) {
      case 0:
      case 1:
        filler(pick(1, 40));
        break;
      case 2:
      case 3:
        plain_jump(any_aim());
        break;
      case 4:
      case 5: {
        const int front = pick(0, 3);
        for (int i = 0; i < front; ++i) {
          if (chance(75)) {
            skip(pick(1, 3));
          } else {
            filler(1);
          }
        }
        bit_jump(chance(70) ? aim::far : any_aim());
        filler(pick(0, 6));
        break;
      }
      case 6:
        chain();
        break;
      case 7:
        skip(pick(1, 3));
        break;
      case 8: {
        // Left alone by the optimisation whatever their distance.
        opcode_node* call = statement(OP_JSUB, 3, lbl("s"));
        use_label(call, call->p1_value, aim::anywhere);
        statement(OP_GOTO, 3, num(pick(0, 0xFFFF)));
        break;
      }
      case 9: {
        // Skips whose new jump would land in a section placed far below:
        // the rewrite walk stops at that section, which it may not move.
        skip(3);
        if (chance(50)) skip(pick(2, 3));
        bit_jump(aim::far);
        filler(pick(0, 3));
        counter_ = std::max(0, counter_ - pick(130, 400));
        org_pending_ = 1;
        break;
      }
      default:
        bit_jump(any_aim());
        break;
    }
  }

  /// The next section starts where ORG puts it: right after, with room
  /// before it, over the end of the last one, or further down.
  void start_section(int gap_odds) {
    const int roll = pick(0, 99);
    if (roll < gap_odds) {
      counter_ += pick(2, 300);
    } else if (roll < 40) {
      counter_ += 0;
    } else if (roll < 60) {
      counter_ += 1;
    } else if (roll < 75) {
      counter_ = std::max(0, counter_ - pick(1, 20));
    } else if (roll < 90) {
      counter_ = pick(0, std::max(0, counter_ - 1));
    } else {
      counter_ = 0;
    }
    org_pending_ = 1;
  }

  opcode_node* nearest(int address) {
    opcode_node* best = nodes_.front();
    for (opcode_node* node : nodes_) {
      if (std::abs(node->address - address) < std::abs(best->address - address)) best = node;
    }
    return best;
  }

  void resolve_targets() {
    for (label_use& use : uses_) {
      const int from = use.node->address;
      opcode_node* target = nullptr;
      switch (use.how) {
        case aim::near_limit:
          target = nearest(from + (chance(50) ? pick(122, 131) : -pick(122, 131)));
          break;
        case aim::far:
          target = nearest(from + (chance(60) ? pick(128, 400) : -pick(128, 400)));
          break;
        case aim::anywhere:
          target = nodes_[pick(0, static_cast<int>(nodes_.size()) - 1)];
          break;
        case aim::fixed:
          target = nearest(use.target);
          break;
        case aim::none:
          break;
        case aim::released:
          target = released_;
          break;
      }
      use.operand->target = target;
    }
  }

  run_context& run_;
  std::mt19937 rng_;
  int counter_ = 0;
  int line_ = 1;
  unsigned char org_pending_ = 1;
  opcode_node* released_ = nullptr;
  std::vector<opcode_node*> nodes_;
  std::vector<label_use> uses_;
};

/// One operand as a run left it; a target is named by its place in the list,
/// so that two runs on separate records compare equal.
struct operand_state {
  int kind;
  int num;
  std::string name;  ///< a copy: the arena goes with the next run
  int target;  ///< place in the list, NO_TARGET, or GONE minus the address

  static constexpr int NO_TARGET = -1;
  static constexpr int GONE = -1000000;
  bool operator==(const operand_state&) const = default;
};

struct statement_state {
  std::string_view file;  ///< the generator's file names are literals
  int line;
  bool has_label;
  int opcode;
  int op_index;
  int address;
  int size;
  int org_fixed;
  operand_state operands[3];
  bool operator==(const statement_state&) const = default;
};

/// The statements of `run` in list order.
std::vector<opcode_node*> statements(run_context& run) {
  std::vector<opcode_node*> list;
  opcode_node& start_opcode = run.prog.start_opcode;
  if (start_opcode.next == nullptr) return list;
  opcode_node* node = &start_opcode;
  do {
    list.push_back(node);
    node = node->next;
  } while (node != &start_opcode);
  return list;
}

std::vector<statement_state> list_state(run_context& run) {
  const std::vector<opcode_node*> list = statements(run);
  std::unordered_map<const opcode_node*, int> place;
  for (size_t i = 0; i < list.size(); ++i) place[list[i]] = static_cast<int>(i);
  auto operand = [&](const param_value& value, int kind) {
    int target = operand_state::NO_TARGET;
    if (value.target != nullptr) {
      auto found = place.find(value.target);
      target = found != place.end() ? found->second : operand_state::GONE - value.target->address;
    }
    return operand_state{kind, value.num, value.name != nullptr ? value.name : "", target};
  };
  std::vector<statement_state> state;
  for (const opcode_node* node : list) {
    state.push_back({node->file, node->line, node->label != nullptr, node->opcode,
                     node->op_index, node->address, node->size, node->org_fixed,
                     {operand(node->p1_value, node->p1_kind),
                      operand(node->p2_value, node->p2_kind),
                      operand(node->p3_value, node->p3_kind)}});
  }
  return state;
}

/// The list as text, one line per statement, for the report of a mismatch.
std::string list_text(const std::vector<statement_state>& state) {
  std::string text;
  for (size_t i = 0; i < state.size(); ++i) {
    const statement_state& s = state[i];
    text += std::to_string(i) + " " + std::string(s.file) + ":" + std::to_string(s.line) + " " +
            get_opcode_name(s.opcode) + " at " + std::to_string(s.address) + " size " +
            std::to_string(s.size) + " org " + std::to_string(s.org_fixed) + " idx " +
            std::to_string(s.op_index) + " label " + std::to_string(s.has_label);
    // Appended piece by piece: in `" " + std::to_string(...)` GCC 12 at -O3
    // sees an overlap that is not there (-Wrestrict).
    for (const operand_state& o : s.operands) {
      text += ' ';
      text += std::to_string(o.kind);
      text += ':';
      text += std::to_string(o.num);
      text += ':';
      text += o.name;
      text += ':';
      text += std::to_string(o.target);
    }
    text += "\n";
  }
  return text;
}

/// A run of its own for each generated program.
struct generated_run {
  memory_disk files;
  capture_sink sink;
  run_context run{files, sink};
};

/// What one optimiser made of the program of `seed`.
struct run_result {
  int status = -1;  ///< the fatal exit status, or -1 when the run went on
  int errors = 0;
  std::string output;
  std::vector<statement_state> list;
  std::unordered_map<int, opcode_node> before;  ///< each statement by line, when asked for
  std::unique_ptr<generated_run> context;       ///< the run, kept for a look at its list
};

template <class Optimiser>
run_result run_program(unsigned seed, Optimiser optimise, bool keep_before) {
  run_result result;
  result.context = std::make_unique<generated_run>();
  run_context& run = result.context->run;
  program_generator(run, seed).build();
  if (keep_before) {
    for (opcode_node* node : statements(run)) result.before[node->line] = *node;
  }
  try {
    optimise(run);
  } catch (const fatal_exit& end) {
    result.status = end.status;
  }
  result.output = result.context->sink.out;
  result.errors = run.diag.error_count();
  result.list = list_state(run);
  return result;
}

/// How often the generated programs met each case, so that a change to the
/// generator cannot quietly stop covering one.
struct coverage {
  int widened = 0;
  int many_widened = 0;
  int rewritten = 0;
  int converted = 0;
  int moved_section = 0;
  int kept_section = 0;
  int org_stop = 0;
  int beyond_end = 0;
  int label_missing = 0;

  /// Counts what the run left in the list (called right after it).
  void count(const run_result& run) {
    const std::string& out = run.output;
    org_stop += out.find("fixed with org") != std::string::npos;
    beyond_end += out.find("beyond the end") != std::string::npos;
    label_missing += out.find("not found") != std::string::npos;
    if (run.status != -1) return;
    const std::vector<opcode_node*> list = statements(run.context->run);
    rewritten += list.size() > run.before.size();
    int grown = 0;
    bool moved = false;
    bool kept = false;
    for (const opcode_node* node : list) {
      const opcode_node& old = run.before.at(node->line);
      const jump_spec& was = opcode_row(old.opcode).jump;
      const jump_spec& now = opcode_row(node->opcode).jump;
      if (now.kind == jump_class::plain && node->opcode == old.opcode && node->size > old.size) {
        ++grown;
      }
      if (was.is_skip() && !now.is_skip()) ++converted;
      if (node != &run.context->run.prog.start_opcode && node->org_fixed && node->opcode == old.opcode) {
        (node->address != old.address ? moved : kept) = true;
      }
    }
    widened += grown > 0;
    many_widened += grown >= 8;
    moved_section += moved && grown > 0;
    kept_section += kept && grown > 0;
  }
};

TEST(check_jump_random, MatchesThePlainWayOnGeneratedPrograms) {
  constexpr unsigned programs = 2000;
  coverage seen;
  for (unsigned seed = 1; seed <= programs; ++seed) {
    const run_result expected = run_program(seed, check_jump_oracle, true);
    seen.count(expected);
    const run_result actual = run_program(seed, check_jump, false);
    ASSERT_EQ(actual.status, expected.status) << "seed " << seed << "\n" << expected.output;
    ASSERT_EQ(actual.output, expected.output) << "seed " << seed;
    ASSERT_EQ(actual.errors, expected.errors) << "seed " << seed;
    if (actual.list != expected.list) {
      ASSERT_EQ(list_text(actual.list), list_text(expected.list)) << "seed " << seed;
    }
  }
  EXPECT_GE(seen.widened, 300);
  EXPECT_GE(seen.many_widened, 100);
  EXPECT_GE(seen.rewritten, 100);
  EXPECT_GE(seen.converted, 50);
  EXPECT_GE(seen.moved_section, 50);
  EXPECT_GE(seen.kept_section, 50);
  EXPECT_GE(seen.org_stop, 50);
  EXPECT_GE(seen.beyond_end, 10);
  EXPECT_GE(seen.label_missing, 10);
}

}  // namespace
