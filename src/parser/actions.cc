#include "parser/actions.h"

#include <cstdarg>
#include <cstdlib>
#include <new>

#include "core/appendf.h"

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

opcode_node* statement_builder::build_statement(int line, int opcode, operand p1, operand p2, operand p3) {
  int op_index = op_cnt_++;
  return run.prog.add_opcode(run.current_file, line, nullptr, opcode, p1.value, p1.kind, p2.value, p2.kind,
                    p3.value, p3.kind, op_index, 0, 0);
}

jumplabel_node* statement_builder::declare_jumplabel(const char* name, int line) {
  anyptr_ = nullptr;
  if (sym_ref* earlier = run.symbols.find_symbol_ref(name, REF_LABEL); earlier && earlier->record) {
    auto* label = static_cast<jumplabel_node*>(earlier->record);
    error(line, 0, "jump label '%s' already exists at line %d, in file '%s'", name, label->line,
                 label->file);
    anyptr_ = label;
    return nullptr;
  }
  jumplabel_node* label = run.prog.add_jumplabel(run.current_file, line, name);
  anyptr_ = label;
  run.symbols.addref(line, run.current_file, name, label, REF_LABEL);
  return label;
}

void statement_builder::declare_constant(const char* name, int line, std::int32_t value) {
  const_node* constant = run.prog.add_const(run.current_file, line, name, value);
  anyptr_ = constant;
  run.symbols.addref(line, run.current_file, name, constant, REF_CONST);
}

void statement_builder::report_redeclared_constant(int line) {
  sym_ref* earlier = run.inst_const != nullptr ? run.symbols.find_symbol_ref(run.inst_const, REF_CONST) : nullptr;
  anyptr_ = earlier != nullptr ? earlier->record : nullptr;
  if (anyptr_ == nullptr) {
    error(line, 0, "this error should never happen");
    return;
  }
  auto* constant = static_cast<const const_node*>(anyptr_);
  error(line, 0, "CONST '%s' already declared at line %d in file '%s'", constant->name,
               constant->line, constant->file);
}

void statement_builder::error(int line, int column, const char* format, ...) {
  std::string text;
  std::va_list args;
  va_start(args, format);
  vappendf(text, format, args);
  va_end(args);
  run.diag.report_text(message_id::grammar_error, run.current_file, line, column, std::move(text));
}

void* statement_builder::stack_alloc(std::size_t size) {
  void* block = std::malloc(size);
  if (block == nullptr) return nullptr;
  try {
    stack_blocks_.insert(block);
  } catch (const std::bad_alloc&) {
    std::free(block);
    return nullptr;
  }
  return block;
}

void statement_builder::stack_free(void* block) {
  stack_blocks_.erase(block);
  std::free(block);
}

statement_builder::~statement_builder() {
  for (void* block : stack_blocks_) std::free(block);
}
