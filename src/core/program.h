// The in-memory program: statement, constant and jump-label lists.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/arena.h"

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

/// A statement. The pointers come first and the numbers after them, which
/// keeps the record at 144 bytes (64-bit): a big program has tens of
/// thousands.
struct opcode_node {
  opcode_node* next = nullptr;
  opcode_node* prev = nullptr;
  const char* file = nullptr;
  jumplabel_node* label = nullptr;
  param_value p1_value;
  param_value p2_value;
  param_value p3_value;
  int line = 0;
  int opcode = 0;
  int p1_kind = 0;
  int p2_kind = 0;
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
  int uses = 0;  ///< how often the scanner read the name as this constant
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

constexpr int EEPROM_SIZE = 128;

/// The program of one run: the statement, constant and jump-label lists,
/// the EEPROM image, and the arena that owns every record and string.
///
/// Each list head record holds the first element of its list; the lists are
/// circular. Records are never given back during a run (a statement that the
/// address step takes out stays in the arena, unlinked).
class program {
 public:
  program() = default;
  program(const program&) = delete;
  program& operator=(const program&) = delete;

  opcode_node start_opcode;
  const_node start_const;
  jumplabel_node start_jumplabel;
  unsigned char eeprom_cells[EEPROM_SIZE] = {};
  unsigned char eeprom_used_cells[EEPROM_SIZE] = {};

  opcode_node* add_opcode(const char* file, int line, jumplabel_node* label, int opcode,
                          param_value p1_value, int p1_kind, param_value p2_value, int p2_kind,
                          param_value p3_value, int p3_kind, int op_index, int address,
                          int size);
  const_node* add_const(const char* file, int line, const char* name, std::int32_t value);
  jumplabel_node* add_jumplabel(const char* file, int line, const char* name);

  /// Links a new statement directly after `after` (used by the jump optimisation).
  opcode_node* insert_opcode_after(opcode_node* after);
  /// Unlinks a record that is not the head; it stays in the arena, unused.
  static void unlink_opcode(opcode_node* node);

  /// A copy of `text` that lives as long as the program.
  char* copy_string(std::string_view text);

 private:
  arena records_;
};
