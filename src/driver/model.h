// The in-memory program: statement, constant and jump-label lists.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

enum param_kind : int {
  PARAM_LABEL = 1,
  PARAM_NONE = 2,
  PARAM_REGISTER = 3,
  PARAM_NUMBER = 4,
};

struct opcode_node;
struct jumplabel_node;

/// An operand value: a number (or register code), a label name, and once
/// labels are resolved the statement the name designates.
struct param_value {
  std::int32_t num = 0;
  const char* name = nullptr;
  opcode_node* target = nullptr;
};

struct opcode_node {
  opcode_node* next = nullptr;
  opcode_node* prev = nullptr;
  const char* file = nullptr;
  int line = 0;
  jumplabel_node* label = nullptr;
  int opcode = 0;
  param_value p1_value;
  int p1_kind = 0;
  param_value p2_value;
  int p2_kind = 0;
  param_value p3_value;
  int p3_kind = 0;
  int op_index = 0;
  int address = 0;
  int size = 0;
  unsigned char org_fixed = 0;
};

struct const_node {
  const_node* next = nullptr;
  const_node* prev = nullptr;
  const char* file = nullptr;
  int line = 0;
  const char* name = nullptr;
  std::int32_t value = 0;
};

struct jumplabel_node {
  jumplabel_node* next = nullptr;
  jumplabel_node* prev = nullptr;
  const char* file = nullptr;
  int line = 0;
  const char* name = nullptr;
  int address = 0;
  opcode_node* statement = nullptr;
};

/// List heads: each head record holds the first element of its list.
extern opcode_node start_opcode;
extern const_node start_const;
extern jumplabel_node start_jumplabel;

constexpr int EEPROM_SIZE = 128;
extern unsigned char eeprom_cells[EEPROM_SIZE];
extern unsigned char eeprom_used_cells[EEPROM_SIZE];

/// Empties the three lists, the EEPROM image and inst_const.
void init_tabs();

opcode_node* add_opcode(const char* file, int line, jumplabel_node* label, int opcode,
                        param_value p1_value, int p1_kind, param_value p2_value, int p2_kind,
                        param_value p3_value, int p3_kind, int op_index, int address,
                        int size);
const_node* add_const(const char* file, int line, const char* name, std::int32_t value);
jumplabel_node* add_jumplabel(const char* file, int line, const char* name);

/// Links a new statement directly after `after` (used by the jump optimisation).
opcode_node* insert_opcode_after(opcode_node* after);
/// Unlinks a record that is not the head; it stays in the arena, unused.
void unlink_opcode(opcode_node* node);

/// Owns every record and string of one run; cleared by reset.
struct model_arena {
  std::deque<opcode_node> opcodes;
  std::deque<const_node> consts;
  std::deque<jumplabel_node> labels;
  std::deque<std::string> strings;
};
extern model_arena arena;

/// A copy of `text` that lives until the run state is reset.
char* arena_strdup(std::string_view text);
/// Clears init_tabs' state and frees every record of the previous run.
void reset_model();
