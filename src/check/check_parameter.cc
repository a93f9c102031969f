#include "check/check_parameter.h"

#include <string>

#include "core/appendf.h"
#include "core/program.h"
#include "core/opcode_table.h"

namespace {

const char* const position_word[3] = {"first", "second", "third"};

/// position: 0 for the first operand.
void too_few(diagnostics& diag, const opcode_node* node) {
  diag.report(message_id::too_few_parameters, node->file, node->line,
              get_opcode_name(node->opcode).c_str());
}
void too_many(diagnostics& diag, const opcode_node* node) {
  diag.report(message_id::too_many_parameters, node->file, node->line,
              get_opcode_name(node->opcode).c_str());
}
void wrong_type(diagnostics& diag, const opcode_node* node, int position) {
  diag.report(message_id::wrong_type, node->file, node->line, position_word[position],
              get_opcode_name(node->opcode).c_str());
}
void wrong_range(diagnostics& diag, const opcode_node* node, int position, std::int32_t value,
                 std::uint32_t bound) {
  std::string detail;
  appendf(detail, ": value %d, allowed 0..%u", value, bound);
  diag.report_detailed(message_id::wrong_range, node->file, node->line, 0, std::move(detail),
                       position_word[position], get_opcode_name(node->opcode).c_str());
}

}  // namespace

void check_parameter(diagnostics& diag, const opcode_node* node, std::uint32_t bound1, int kind1,
                     std::uint32_t bound2, int kind2, std::uint32_t bound3, int kind3) {
  const int want[3] = {kind1, kind2, kind3};
  const std::uint32_t bound[3] = {bound1, bound2, bound3};
  const int have[3] = {node->p1_kind, node->p2_kind, node->p3_kind};
  const std::int32_t value[3] = {node->p1_value.num, node->p2_value.num, node->p3_value.num};

  for (int i = 0; i < 3; ++i) {
    if (want[i] == PARAM_NONE && have[i] != PARAM_NONE) {
      too_many(diag, node);
      return;
    }
  }
  for (int i = 0; i < 3; ++i) {
    if (want[i] != PARAM_NONE && have[i] == PARAM_NONE) {
      too_few(diag, node);
      return;
    }
  }
  // Kinds and then ranges are reported last position first.
  bool kind_wrong = false;
  for (int i = 2; i >= 0; --i) {
    if (have[i] != want[i]) {
      wrong_type(diag, node, i);
      kind_wrong = true;
    }
  }
  if (kind_wrong) return;
  for (int i = 2; i >= 0; --i) {
    if (have[i] == PARAM_NUMBER && static_cast<std::uint32_t>(value[i]) > bound[i]) {
      wrong_range(diag, node, i, value[i], bound[i]);
    }
  }
}

void check_parameter2(diagnostics& diag, const opcode_node* node) {
  if (node->p3_kind != PARAM_NONE) {
    too_many(diag, node);
    return;
  }
  if (node->p2_kind == PARAM_NONE || node->p1_kind == PARAM_NONE) {
    too_few(diag, node);
    return;
  }
  if (node->p2_kind != PARAM_REGISTER && node->p2_kind != PARAM_NUMBER) {
    wrong_type(diag, node, 1);
    if (node->p1_kind != PARAM_REGISTER) wrong_type(diag, node, 0);
    return;
  }
  if (node->p1_kind != PARAM_REGISTER) wrong_type(diag, node, 0);
}

void check_parameter3(diagnostics& diag, const opcode_node* node, std::uint32_t count_bound) {
  if (node->p3_kind != PARAM_NONE) {
    too_many(diag, node);
    return;
  }
  if (node->p1_kind == PARAM_NONE) {
    too_few(diag, node);
    return;
  }
  if (node->p2_kind != PARAM_NONE && node->p2_kind != PARAM_NUMBER) {
    wrong_type(diag, node, 1);
    if (node->p1_kind != PARAM_REGISTER) wrong_type(diag, node, 0);
    return;
  }
  if (node->p1_kind != PARAM_REGISTER) {
    wrong_type(diag, node, 0);
    return;
  }
  if (node->p2_kind == PARAM_NUMBER &&
      static_cast<std::uint32_t>(node->p2_value.num) > count_bound) {
    wrong_range(diag, node, 1, node->p2_value.num, count_bound);
  }
}
