// The table of declared names: constants and jump labels share one table.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

enum ref_kind : int {
  REF_CONST = 0,
  REF_LABEL = 1,
};

/// One declaration of a name; a name's references run from newest to oldest.
struct sym_ref {
  sym_ref* next = nullptr;
  const char* file = nullptr;  ///< compared by identity, not by content
  int line = 0;
  void* record = nullptr;  ///< the const_node (REF_CONST) or jumplabel_node (REF_LABEL)
  int kind = REF_CONST;
};

/// One slot: a name keeps its slot for the whole run.
struct sym_entry {
  sym_ref* reflist = nullptr;
  const char* name = nullptr;  ///< null for a free slot; the caller's string
};

constexpr int SYMTAB_SIZE = 9997;

std::uint32_t symhash(const char* name);

/// The names of one run: open addressing with linear probing over a fixed
/// number of slots, never resized (the table's size and hash are part of how
/// names behave when it fills up).
class symbol_table {
 public:
  symbol_table() : slots_(SYMTAB_SIZE) {}

  /// The slot of `name`, claimed when the name is new; a full table ends the
  /// run (symbol_table_overflow).
  sym_entry* lookup(const char* name);

  /// Registers a declaration and returns its reference; a declaration already
  /// registered (same line, same file string, same kind) is returned as is.
  sym_ref* addref(int line, const char* file, const char* name, void* record, int kind);

  /// The newest reference of `kind` for `name`, or null. Never inserts.
  sym_ref* find_symbol_ref(const char* name, int kind) const;

  /// The record of the newest reference of `kind` for `name`, or null.
  void* find_symbol(const char* name, int kind) const;

  const sym_entry& slot(int index) const { return slots_[static_cast<std::size_t>(index)]; }

 private:
  struct probe_result;
  probe_result probe(const char* name) const;
  sym_entry* claim(const char* name);

  std::vector<sym_entry> slots_;
  std::deque<sym_ref> refs_;  ///< live as long as the table, like the program's records
};

/// Thrown when a run needs a slot of a full table, or memory for a reference.
struct symbol_table_overflow {
  const char* message;
};
