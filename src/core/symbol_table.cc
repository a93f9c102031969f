#include "core/symbol_table.h"

#include <cstring>
#include <new>

/// The outcome of a probe: the name's slot, the free slot for it, or neither.
struct symbol_table::probe_result {
  sym_entry* slot = nullptr;  ///< null when the table is full
  bool found = false;
};

symbol_table::probe_result symbol_table::probe(const char* name) const {
  std::uint32_t index = symhash(name) % SYMTAB_SIZE;
  for (int budget = SYMTAB_SIZE; budget > 0; --budget) {
    // Probing never changes a slot; claim() does, through the result.
    auto& slot = const_cast<sym_entry&>(slots_[index]);
    if (slot.name == nullptr) return {&slot, false};
    if (std::strcmp(slot.name, name) == 0) return {&slot, true};
    index = index + 1 == SYMTAB_SIZE ? 0 : index + 1;
  }
  return {};
}

sym_entry* symbol_table::claim(const char* name) {
  probe_result where = probe(name);
  if (where.slot == nullptr) throw symbol_table_overflow{"symbol table overflow"};
  if (!where.found) {
    where.slot->name = name;
    where.slot->reflist = nullptr;
  }
  return where.slot;
}

std::uint32_t symhash(const char* name) {
  std::uint32_t h = 0;
  for (const char* p = name; *p != '\0'; ++p) {
    // Bytes count as signed, so 0x80..0xFF contribute -128..-1.
    auto byte = static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(*p)));
    h = (h * 9u) ^ byte;
  }
  return h;
}

sym_entry* symbol_table::lookup(const char* name) { return claim(name); }

sym_ref* symbol_table::addref(int line, const char* file, const char* name, void* record,
                              int kind) {
  sym_entry* slot = claim(name);
  for (sym_ref* ref = slot->reflist; ref != nullptr; ref = ref->next) {
    if (ref->line == line && ref->file == file && ref->kind == kind) return ref;
  }
  sym_ref* ref = nullptr;
  try {
    ref = &refs_.emplace_back();
  } catch (const std::bad_alloc&) {
    throw symbol_table_overflow{"out of space"};
  }
  ref->next = slot->reflist;
  ref->file = file;
  ref->line = line;
  ref->record = record;
  ref->kind = kind;
  slot->reflist = ref;
  return ref;
}

sym_ref* symbol_table::find_symbol_ref(const char* name, int kind) const {
  probe_result where = probe(name);
  if (!where.found) return nullptr;
  for (sym_ref* ref = where.slot->reflist; ref != nullptr; ref = ref->next) {
    if (ref->kind == kind) return ref;
  }
  return nullptr;
}

void* symbol_table::find_symbol(const char* name, int kind) const {
  sym_ref* ref = find_symbol_ref(name, kind);
  return ref != nullptr ? ref->record : nullptr;
}
