#include "check/check_opcode.h"

#include "check/check_parameter.h"
#include "core/program.h"
#include "driver/opcode_table.h"
#include "layout/address.h"

namespace {

void report(diagnostics& diag, const opcode_node* node, message_id id) {
  diag.report(id, node->file, node->line);
}

bool is_refused(int id) {
  return id < 0 || id >= OPCODE_COUNT || opcode_table[id].check == check_kind::REFUSED;
}

/// goto and jsub take a number as an absolute address, anything else as a label.
bool is_address_form(const opcode_node* node) {
  return (node->opcode == OP_GOTO || node->opcode == OP_JSUB) && node->p1_kind == PARAM_NUMBER;
}

int required_kind(const opcode_node* node, operand_spec operand) {
  switch (operand) {
    case operand_spec::none: return PARAM_NONE;
    case operand_spec::reg: return PARAM_REGISTER;
    case operand_spec::number: return PARAM_NUMBER;
    case operand_spec::label: return PARAM_LABEL;
    case operand_spec::label_or_addr: return is_address_form(node) ? PARAM_NUMBER : PARAM_LABEL;
  }
  return PARAM_NONE;
}

void check_operands(diagnostics& diag, const opcode_node* node) {
  const opcode_info& row = opcode_table[node->opcode];
  switch (row.check) {
    case check_kind::P2: check_parameter2(diag, node); return;
    case check_kind::P3: check_parameter3(diag, node); return;
    case check_kind::REFUSED: return;
    case check_kind::P: break;
  }
  int kind[3];
  for (int i = 0; i < 3; ++i) kind[i] = required_kind(node, row.op[i]);
  // The label form of goto and jsub has no bound to test.
  std::uint32_t bound1 = kind[0] == PARAM_LABEL ? 0 : row.bound[0];
  check_parameter(diag, node, bound1, kind[0], row.bound[1], kind[1], row.bound[2], kind[2]);
}

int code_size(const opcode_node* node) {
  const opcode_info& row = opcode_table[node->opcode];
  switch (node->opcode) {
    case OP_RAMADR: return node->p1_value.num > 63 ? row.size_alt : row.size;
    case OP_GOTO: return is_address_form(node) ? row.size_alt : row.size;
    case OP_ROTL:
    case OP_ROTR:
    case OP_SHIFTL:
    case OP_SHIFTR: return node->p2_kind == PARAM_NUMBER ? row.size_alt : row.size;
    default: break;
  }
  if (row.check == check_kind::P2) {
    return node->p2_kind == PARAM_REGISTER ? row.size : row.size_alt;
  }
  return row.size;
}

void check_single_rules(diagnostics& diag, const opcode_node* node) {
  switch (node->opcode) {
    case OP_SKIP:
      if (node->p1_kind == PARAM_NUMBER && node->p1_value.num == 0) {
        report(diag, node, message_id::skip_count_zero);
      }
      break;
    case OP_SKIPCARC: case OP_SKIPCARS: case OP_SKIPEQ: case OP_SKIPNE:
    case OP_SKIPNEG: case OP_SKIPOVRC: case OP_SKIPOVRS: case OP_SKIPPOS:
      if (node->p1_kind == PARAM_NUMBER && node->p1_value.num == 0) {
        report(diag, node, message_id::parameter_zero);
      }
      break;
    case OP_SHIFTL:
    case OP_SHIFTR:
      if (node->p2_kind == PARAM_NUMBER && node->p2_value.num == 0) {
        report(diag, node, message_id::parameter_zero);
      }
      break;
    case OP_SKIPBITC:
    case OP_SKIPBITS:
      if (node->p3_kind == PARAM_NUMBER && node->p3_value.num == 0) {
        report(diag, node, message_id::third_parameter_zero);
      }
      break;
    case OP_SWAP:
      if (node->p1_kind == PARAM_REGISTER && node->p2_kind == PARAM_REGISTER) {
        int a = node->p1_value.num, b = node->p2_value.num;
        if ((a == 2 && b == 3) || (a == 3 && b == 2)) {
          report(diag, node, message_id::swap_r_with_z);
        }
      }
      break;
    default: break;
  }
}

/// The operand that names a jump target.
struct label_operand {
  int* kind = nullptr;  ///< null for instructions without a target
  param_value* value = nullptr;
};

label_operand find_label_operand(opcode_node* node) {
  switch (node->opcode) {
    case OP_GOTO:
    case OP_JSUB:
      if (is_address_form(node)) return {};
      [[fallthrough]];
    case OP_GOTOCARC: case OP_GOTOCARS: case OP_GOTOEQ: case OP_GOTONE:
    case OP_GOTONEG: case OP_GOTOOVRC: case OP_GOTOOVRS: case OP_GOTOPOS:
      return {&node->p1_kind, &node->p1_value};
    case OP_GOTOBITC:
    case OP_GOTOBITS:
      return {&node->p3_kind, &node->p3_value};
    default: return {};
  }
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
