// Builds statement lists by hand for the unit tests of checking, layout and
// output, the way the parser would build them.
#pragma once

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "core/run_context.h"
#include "core/opcode_table.h"

namespace test_program {

enum register_code { X = 0, Y = 1, Z = 2, R = 3 };

struct operand {
  int kind = PARAM_NONE;
  param_value value{};
};

inline operand reg(int code) { return {PARAM_REGISTER, {code, nullptr, nullptr}}; }
inline operand num(int value) { return {PARAM_NUMBER, {value, nullptr, nullptr}}; }
/// A fresh run with an in-memory disk and the source "dir\prog.asm", and
/// statement lists built by hand in it.
class back_end_test : public ::testing::Test {
 protected:
  /// Also called inside a test to start over with a fresh run: the run is
  /// made anew in place, so that `run` stays the name tests use.
  void SetUp() override {
    run.~run_context();
    new (&run) run_context(files, sink);
    next_line = 1;
    run.source.dir = "dir";
    run.source.name = "prog.asm";
    run.source.sep = '\\';
  }

  operand lbl(const char* name) {
    return {PARAM_LABEL, {0, run.prog.copy_string(name), nullptr}};
  }

  /// Appends a statement from file "t.asm"; lines count up from 1.
  opcode_node* add(int opcode, operand a = {}, operand b = {}, operand c = {}) {
    return run.prog.add_opcode("t.asm", next_line++, nullptr, opcode, a.value, a.kind, b.value,
                               b.kind, c.value, c.kind, 0, 0, 0);
  }

  /// Declares a jump label written at `at`.
  jumplabel_node* label(const char* name, opcode_node* at) {
    jumplabel_node* node = run.prog.add_jumplabel("t.asm", at->line, run.prog.copy_string(name));
    node->statement = at;
    at->label = node;
    run.symbols.addref(node->line, node->file, node->name, node, REF_LABEL);
    return node;
  }

  /// Appends `count` one-byte statements.
  void nops(int count) {
    for (int i = 0; i < count; ++i) add(OP_NOP);
  }

  /// The statements in list order.
  std::vector<opcode_node*> program() {
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

  /// Runs `stage` and returns what it printed.
  template <class Stage>
  std::string output_of(Stage stage) {
    const std::size_t before = sink.out.size();
    try {
      stage();
    } catch (const fatal_exit& end) {
      std::string text = sink.out.substr(before);
      ADD_FAILURE() << "the run ended with status " << end.status << " after:\n" << text;
      return text;
    }
    return sink.out.substr(before);
  }

  /// Runs a stage that must end the run; returns its output and exit status.
  template <class Stage>
  std::string fatal_output_of(Stage stage, int& status) {
    const std::size_t before = sink.out.size();
    status = -1;
    try {
      stage();
    } catch (const fatal_exit& end) {
      status = end.status;
    }
    return sink.out.substr(before);
  }

  memory_disk files;
  capture_sink sink;
  run_context run{files, sink};
  int next_line = 1;
};

}  // namespace test_program
