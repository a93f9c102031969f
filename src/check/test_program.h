// Builds statement lists by hand for the unit tests of checking, layout and
// output, the way the parser would build them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/model.h"
#include "driver/opcode_table.h"
#include "driver/run_state.h"
#include "parser/symtab.h"
#include "platform/disk.h"

namespace test_program {

enum register_code { X = 0, Y = 1, Z = 2, R = 3 };

struct operand {
  int kind = PARAM_NONE;
  param_value value{};
};

inline operand reg(int code) { return {PARAM_REGISTER, {code, nullptr, nullptr}}; }
inline operand num(int value) { return {PARAM_NUMBER, {value, nullptr, nullptr}}; }
inline operand lbl(const char* name) { return {PARAM_LABEL, {0, arena_strdup(name), nullptr}}; }

inline int next_line = 1;

/// Appends a statement from file "t.asm"; lines count up from 1.
inline opcode_node* add(int opcode, operand a = {}, operand b = {}, operand c = {}) {
  return add_opcode("t.asm", next_line++, nullptr, opcode, a.value, a.kind, b.value, b.kind,
                    c.value, c.kind, 0, 0, 0);
}

/// Declares a jump label written at `at`.
inline jumplabel_node* label(const char* name, opcode_node* at) {
  jumplabel_node* node = add_jumplabel("t.asm", at->line, arena_strdup(name));
  node->statement = at;
  at->label = node;
  addref(node->line, node->file, node->name, node, REF_LABEL);
  return node;
}

/// Appends `count` one-byte statements.
inline void nops(int count) {
  for (int i = 0; i < count; ++i) add(OP_NOP);
}

/// The statements in list order.
inline std::vector<opcode_node*> program() {
  std::vector<opcode_node*> list;
  if (start_opcode.next == nullptr) return list;
  opcode_node* node = &start_opcode;
  do {
    list.push_back(node);
    node = node->next;
  } while (node != &start_opcode);
  return list;
}

/// A fresh run with an in-memory disk and the source "dir\prog.asm".
class back_end_test : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_run_state();
    next_line = 1;
    set_disk(&files);
    inpFilePath = "dir";
    inpFileName = "prog.asm";
    inpFileSep = '\\';
  }
  void TearDown() override {
    set_disk(nullptr);
    reset_run_state();
  }

  /// Runs `stage` and returns what it printed.
  template <class Stage>
  static std::string output_of(Stage stage) {
    ::testing::internal::CaptureStdout();
    try {
      stage();
    } catch (const fatal_exit& end) {
      std::string text = ::testing::internal::GetCapturedStdout();
      ADD_FAILURE() << "the run ended with status " << end.status << " after:\n" << text;
      return text;
    }
    return ::testing::internal::GetCapturedStdout();
  }

  /// Runs a stage that must end the run; returns its output and exit status.
  template <class Stage>
  static std::string fatal_output_of(Stage stage, int& status) {
    ::testing::internal::CaptureStdout();
    status = -1;
    try {
      stage();
    } catch (const fatal_exit& end) {
      status = end.status;
    }
    return ::testing::internal::GetCapturedStdout();
  }

  memory_disk files;
};

}  // namespace test_program
