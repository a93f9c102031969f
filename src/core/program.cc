#include "core/program.h"

namespace {

/// The list discipline shared by all three lists: the first append fills the
/// head itself, later ones link a new arena record at the tail.
template <class Node>
Node* append(Node& head, arena& store) {
  if (head.next == nullptr) {
    head.next = &head;
    head.prev = &head;
    return &head;
  }
  Node* node = store.make<Node>();
  node->next = &head;
  node->prev = head.prev;
  head.prev->next = node;
  head.prev = node;
  return node;
}

}  // namespace

opcode_node* program::add_opcode(const char* file, int line, jumplabel_node* label, int opcode,
                        param_value p1_value, int p1_kind, param_value p2_value, int p2_kind,
                        param_value p3_value, int p3_kind, int op_index, int address,
                        int size) {
  opcode_node* node = append(start_opcode, records_);
  node->file = file;
  node->line = line;
  node->label = label;
  node->opcode = opcode;
  node->p1_value = p1_value;
  node->p1_kind = p1_kind;
  node->p2_value = p2_value;
  node->p2_kind = p2_kind;
  node->p3_value = p3_value;
  node->p3_kind = p3_kind;
  node->op_index = op_index;
  node->address = address;
  node->size = size;
  node->org_fixed = 0;
  return node;
}

const_node* program::add_const(const char* file, int line, const char* name, std::int32_t value) {
  const_node* node = append(start_const, records_);
  node->file = file;
  node->line = line;
  node->name = name;
  node->value = value;
  return node;
}

jumplabel_node* program::add_jumplabel(const char* file, int line, const char* name) {
  jumplabel_node* node = append(start_jumplabel, records_);
  node->file = file;
  node->line = line;
  node->name = name;
  node->address = 0;
  node->statement = nullptr;
  return node;
}

opcode_node* program::insert_opcode_after(opcode_node* after) {
  opcode_node* node = records_.make<opcode_node>();
  node->prev = after;
  node->next = after->next;
  after->next->prev = node;
  after->next = node;
  return node;
}

void program::unlink_opcode(opcode_node* node) {
  node->prev->next = node->next;
  node->next->prev = node->prev;
  node->next = node->prev = nullptr;
}

char* program::copy_string(std::string_view text) { return records_.copy_string(text); }
