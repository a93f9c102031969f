// What the grammar's rules build: statements, jump labels and constants.
#pragma once

#include <cstdint>

#include "driver/model.h"

/// Creation number of the next statement.
extern int op_cnt;
/// The constant or jump-label record the last declaration created or found.
extern void* anyptr;

/// One operand position of a statement: its kind and value.
struct operand {
  param_value value;
  int kind = PARAM_NONE;
};
operand register_operand(int code);
operand number_operand(std::int32_t value);
operand label_operand(const char* name);

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

/// Forgets the counters of an earlier run.
void actions_reset();
