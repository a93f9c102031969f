// What the grammar's rules build: statements, jump labels and constants.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>

#include "core/run_context.h"

/// One operand position of a statement: its kind and value.
struct operand {
  param_value value;
  int kind = PARAM_NONE;
};
operand register_operand(int code);
operand number_operand(std::int32_t value);
operand label_operand(const char* name);

/// The parser's side of a run: appends what the rules recognise to the
/// program and reports the rules' own errors.
class statement_builder {
 public:
  explicit statement_builder(run_context& run) : run(run) {}

  /// Appends a statement of the current source; operands fill from the left.
  opcode_node* build_statement(int line, int opcode, operand p1 = {}, operand p2 = {},
                               operand p3 = {});

  /// Declares a jump label; null (after reporting it) when a label of that
  /// name was declared before.
  jumplabel_node* declare_jumplabel(const char* name, int line);

  /// Declares a constant; the scanner turns later uses of the name into values.
  void declare_constant(const char* name, int line, std::int32_t value);

  /// Reports a second declaration of the constant last scanned (inst_const).
  void report_redeclared_constant(int line);

  /// "<file> Line <n> ERROR: <message>" at `line` of the current source.
  void error(int line, int column, const char* format, ...);

  /// The parser's stacks, given back when the parse ends however it ends.
  void* stack_alloc(std::size_t size);
  void stack_free(void* block);
  ~statement_builder();
  statement_builder(const statement_builder&) = delete;
  statement_builder& operator=(const statement_builder&) = delete;

  run_context& run;

 private:
  std::unordered_set<void*> stack_blocks_;
  /// Creation number of the next statement.
  int op_cnt_ = 0;
  /// The constant or jump-label record the last declaration created or found.
  void* anyptr_ = nullptr;
};
