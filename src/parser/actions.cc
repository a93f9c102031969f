#include "parser/actions.h"

#include "driver/run_state.h"
#include "parser/diagnostics.h"
#include "parser/symtab.h"
#include "scanner/scanner.h"

int op_cnt = 0;
void* anyptr = nullptr;

operand register_operand(int code) {
  operand result;
  result.value.num = code;
  result.kind = PARAM_REGISTER;
  return result;
}

operand number_operand(std::int32_t value) {
  operand result;
  result.value.num = value;
  result.kind = PARAM_NUMBER;
  return result;
}

operand label_operand(const char* name) {
  operand result;
  result.value.name = name;
  result.kind = PARAM_LABEL;
  return result;
}

opcode_node* build_statement(int line, int opcode, operand p1, operand p2, operand p3) {
  int op_index = op_cnt++;
  return add_opcode(curfilename, line, nullptr, opcode, p1.value, p1.kind, p2.value, p2.kind,
                    p3.value, p3.kind, op_index, 0, 0);
}

jumplabel_node* declare_jumplabel(const char* name, int line) {
  anyptr = nullptr;
  if (sym_ref* earlier = find_symbol_ref(name, REF_LABEL); earlier && earlier->record) {
    auto* label = static_cast<jumplabel_node*>(earlier->record);
    report_error(line, "jump label '%s' already exists at line %d, in file '%s'", name, label->line,
                 label->file);
    anyptr = label;
    return nullptr;
  }
  jumplabel_node* label = add_jumplabel(curfilename, line, name);
  anyptr = label;
  addref(line, curfilename, name, label, REF_LABEL);
  return label;
}

void declare_constant(const char* name, int line, std::int32_t value) {
  const_node* constant = add_const(curfilename, line, name, value);
  anyptr = constant;
  addref(line, curfilename, name, constant, REF_CONST);
}

void report_redeclared_constant(int line) {
  sym_ref* earlier = inst_const != nullptr ? find_symbol_ref(inst_const, REF_CONST) : nullptr;
  anyptr = earlier != nullptr ? earlier->record : nullptr;
  if (anyptr == nullptr) {
    report_error(line, "this error should never happen");
    return;
  }
  auto* constant = static_cast<const const_node*>(anyptr);
  report_error(line, "CONST '%s' already declared at line %d in file '%s'", constant->name,
               constant->line, constant->file);
}

void actions_reset() {
  op_cnt = 0;
  anyptr = nullptr;
}
