#include "check/check_opcode.h"

#include "check/check_parameter.h"
#include "core/program.h"
#include "core/opcode_table.h"
#include "layout/address.h"

namespace {

void report(diagnostics& diag, const opcode_node* node, message_id id) {
  diag.report(id, node->file, node->line);
}

bool is_refused(int id) {
  return id < 0 || id >= OPCODE_COUNT || opcode_row(id).check == check_kind::REFUSED;
}

int& operand_kind_at(opcode_node* node, int position) {
  return position == 0 ? node->p1_kind : position == 1 ? node->p2_kind : node->p3_kind;
}
param_value& operand_value_at(opcode_node* node, int position) {
  return position == 0 ? node->p1_value : position == 1 ? node->p2_value : node->p3_value;
}

/// goto and jsub take a number as an absolute address, anything else as a label.
bool is_address_form(const opcode_node* node) {
  return opcode_row(node->opcode).op[0].kind == operand_kind::label_or_addr &&
         node->p1_kind == PARAM_NUMBER;
}

/// The kind the general check requires at a position.
int required_kind(const opcode_node* node, operand_kind operand) {
  switch (operand) {
    case operand_kind::none: return PARAM_NONE;
    case operand_kind::reg: return PARAM_REGISTER;
    case operand_kind::number: return PARAM_NUMBER;
    case operand_kind::label: return PARAM_LABEL;
    case operand_kind::label_or_addr: return is_address_form(node) ? PARAM_NUMBER : PARAM_LABEL;
    // Only in P2 and P3 rows, whose checks know them.
    case operand_kind::reg_or_number:
    case operand_kind::opt_number: break;
  }
  return PARAM_NONE;
}

void check_operands(diagnostics& diag, const opcode_node* node) {
  const opcode_info& row = opcode_row(node->opcode);
  switch (row.check) {
    case check_kind::P2: check_parameter2(diag, node); return;
    case check_kind::P3: check_parameter3(diag, node, row.op[1].bound); return;
    case check_kind::REFUSED: return;
    case check_kind::P: break;
  }
  check_parameter(diag, node, row.op[0].bound, required_kind(node, row.op[0].kind),
                  row.op[1].bound, required_kind(node, row.op[1].kind), row.op[2].bound,
                  required_kind(node, row.op[2].kind));
}

int code_size(const opcode_node* node) {
  const size_spec& size = opcode_row(node->opcode).size;
  switch (size.rule) {
    case size_rule::none: return 0;
    case size_rule::fixed:
    case size_rule::short_jump: return size.a;
    case size_rule::reg_or_number: return node->p2_kind == PARAM_REGISTER ? size.a : size.b;
    case size_rule::count: return node->p2_kind == PARAM_NUMBER ? size.b : size.a;
    case size_rule::value: return node->p1_value.num > size.limit ? size.b : size.a;
    case size_rule::label_or_addr: return is_address_form(node) ? size.b : size.a;
  }
  return 0;
}

/// The "can not be zero" message when the operand at `position` is the number 0.
void check_not_zero(diagnostics& diag, opcode_node* node, int position, message_id id) {
  if (operand_kind_at(node, position) == PARAM_NUMBER &&
      operand_value_at(node, position).num == 0) {
    report(diag, node, id);
  }
}

void check_single_rules(diagnostics& diag, opcode_node* node) {
  switch (opcode_row(node->opcode).rule) {
    case special_rule::none: break;
    case special_rule::count1_not_zero_skip:
      check_not_zero(diag, node, 0, message_id::skip_count_zero);
      break;
    case special_rule::count1_not_zero:
      check_not_zero(diag, node, 0, message_id::parameter_zero);
      break;
    case special_rule::count2_not_zero:
      check_not_zero(diag, node, 1, message_id::parameter_zero);
      break;
    case special_rule::count3_not_zero:
      check_not_zero(diag, node, 2, message_id::third_parameter_zero);
      break;
    case special_rule::no_rz_swap:
      if (node->p1_kind == PARAM_REGISTER && node->p2_kind == PARAM_REGISTER) {
        int a = node->p1_value.num, b = node->p2_value.num;
        if ((a == 2 && b == 3) || (a == 3 && b == 2)) {
          report(diag, node, message_id::swap_r_with_z);
        }
      }
      break;
  }
}

/// The operand that names a jump target.
struct label_operand {
  int* kind = nullptr;  ///< null for instructions without a target
  param_value* value = nullptr;
};

label_operand find_label_operand(opcode_node* node) {
  const int position = opcode_row(node->opcode).label_position();
  if (position < 0 || is_address_form(node)) return {};
  return {&operand_kind_at(node, position), &operand_value_at(node, position)};
}

void resolve_label(run_context& run, opcode_node* node) {
  diagnostics& diag = run.diag;
  label_operand operand = find_label_operand(node);
  if (operand.kind == nullptr) return;
  if (*operand.kind != PARAM_LABEL || operand.value->name == nullptr) {
    report(diag, node, message_id::missing_jump_label);
    return;
  }
  auto* label =
      static_cast<jumplabel_node*>(run.symbols.find_symbol(operand.value->name, REF_LABEL));
  if (label == nullptr) {
    run.diag.report(message_id::jump_label_missing, node->file, node->line, operand.value->name);
    return;
  }
  operand.value->target = label->statement;
}

}  // namespace

void check_opcode(run_context& run) {
  program& prog = run.prog;
  if (prog.start_opcode.next == nullptr) return;
  attach_org_labels(prog);
  address_state addresses;
  opcode_node* node = &prog.start_opcode;
  while (node != nullptr) {
    if (is_refused(node->opcode)) {
      report(run.diag, node, message_id::opcode_not_found);
    } else {
      check_operands(run.diag, node);
      node->size = code_size(node);
      check_single_rules(run.diag, node);
      resolve_label(run, node);
    }
    node = assign_address(prog, node, addresses);
  }
}
