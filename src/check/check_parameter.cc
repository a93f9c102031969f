#include "check/check_parameter.h"

#include <cstdio>
#include <string>

#include "driver/model.h"
#include "driver/opcode_table.h"
#include "driver/run_state.h"

namespace {

const char* const position_word[3] = {"first", "second", "third"};

/// One operand message: file, line, the text naming the mnemonic; counted.
void report(const opcode_node* node, const std::string& text) {
  std::printf("%s Line %d  ERROR: %s '%s'\n", node->file, node->line, text.c_str(),
              get_opcode_name(node->opcode).c_str());
  ++err_cnt;
}

void too_few(const opcode_node* node) { report(node, "too few parameters for opcode"); }
void too_many(const opcode_node* node) { report(node, "too many parameters for opcode"); }
/// position: 0 for the first operand.
void wrong_type(const opcode_node* node, int position) {
  report(node, std::string("wrong type for ") + position_word[position] + " parameter in opcode");
}
void wrong_range(const opcode_node* node, int position) {
  report(node, std::string("wrong range for ") + position_word[position] + " parameter in opcode");
}

}  // namespace

void check_parameter(const opcode_node* node, std::uint32_t bound1, int kind1,
                     std::uint32_t bound2, int kind2, std::uint32_t bound3, int kind3) {
  const int want[3] = {kind1, kind2, kind3};
  const std::uint32_t bound[3] = {bound1, bound2, bound3};
  const int have[3] = {node->p1_kind, node->p2_kind, node->p3_kind};
  const std::int32_t value[3] = {node->p1_value.num, node->p2_value.num, node->p3_value.num};

  for (int i = 0; i < 3; ++i) {
    if (want[i] == PARAM_NONE && have[i] != PARAM_NONE) {
      too_many(node);
      return;
    }
  }
  for (int i = 0; i < 3; ++i) {
    if (want[i] != PARAM_NONE && have[i] == PARAM_NONE) {
      too_few(node);
      return;
    }
  }
  // Kinds and then ranges are reported last position first.
  bool kind_wrong = false;
  for (int i = 2; i >= 0; --i) {
    if (have[i] != want[i]) {
      wrong_type(node, i);
      kind_wrong = true;
    }
  }
  if (kind_wrong) return;
  for (int i = 2; i >= 0; --i) {
    if (have[i] == PARAM_NUMBER && static_cast<std::uint32_t>(value[i]) > bound[i]) {
      wrong_range(node, i);
    }
  }
}

void check_parameter2(const opcode_node* node) {
  if (node->p3_kind != PARAM_NONE) {
    too_many(node);
    return;
  }
  if (node->p2_kind == PARAM_NONE || node->p1_kind == PARAM_NONE) {
    too_few(node);
    return;
  }
  if (node->p2_kind != PARAM_REGISTER && node->p2_kind != PARAM_NUMBER) {
    wrong_type(node, 1);
    if (node->p1_kind != PARAM_REGISTER) wrong_type(node, 0);
    return;
  }
  if (node->p1_kind != PARAM_REGISTER) wrong_type(node, 0);
}

void check_parameter3(const opcode_node* node, std::uint32_t count_bound) {
  if (node->p3_kind != PARAM_NONE) {
    too_many(node);
    return;
  }
  if (node->p1_kind == PARAM_NONE) {
    too_few(node);
    return;
  }
  if (node->p2_kind != PARAM_NONE && node->p2_kind != PARAM_NUMBER) {
    wrong_type(node, 1);
    if (node->p1_kind != PARAM_REGISTER) wrong_type(node, 0);
    return;
  }
  if (node->p1_kind != PARAM_REGISTER) {
    wrong_type(node, 0);
    return;
  }
  if (node->p2_kind == PARAM_NUMBER &&
      static_cast<std::uint32_t>(node->p2_value.num) > count_bound) {
    wrong_range(node, 1);
  }
}
