#include "layout/address.h"

#include "core/program.h"
#include "core/opcode_table.h"

namespace {

/// The statement that a label written at `org` stands for: the first one
/// after the run of ORG directives, never wrapping round to the head.
opcode_node* statement_after_orgs(program& prog, opcode_node* org) {
  for (opcode_node* node = org->next; node != &prog.start_opcode; node = node->next) {
    if (node->opcode != OP_ORG) return node;
  }
  return nullptr;
}

/// The head record stays the first element: it takes over the contents of
/// the record after it, which is released.
void head_takes_over_second(program& prog) {
  opcode_node& start_opcode = prog.start_opcode;
  opcode_node* second = start_opcode.next;
  opcode_node content = *second;
  program::unlink_opcode(second);
  content.next = start_opcode.next;
  content.prev = start_opcode.prev;
  start_opcode = content;
  start_opcode.address = 0;
  start_opcode.org_fixed = 1;
  update_jump(prog, second, &start_opcode);
}

}  // namespace

void attach_org_labels(program& prog) {
  opcode_node& start_opcode = prog.start_opcode;
  if (start_opcode.next == nullptr) return;
  opcode_node* node = &start_opcode;
  do {
    if (node->opcode == OP_ORG && node->label != nullptr) {
      jumplabel_node* label = node->label;
      opcode_node* target = statement_after_orgs(prog, node);
      label->statement = target;
      if (target != nullptr && target->label == nullptr) target->label = label;
      node->label = nullptr;
    }
    node = node->next;
  } while (node != &start_opcode);
}

void update_jump(program& prog, const opcode_node* from, opcode_node* to) {
  jumplabel_node& start_jumplabel = prog.start_jumplabel;
  if (start_jumplabel.next == nullptr) return;
  jumplabel_node* label = &start_jumplabel;
  do {
    if (label->statement == from) label->statement = to;
    label = label->next;
  } while (label != &start_jumplabel);
}

opcode_node* assign_address(program& prog, opcode_node* node, address_state& state) {
  opcode_node& start_opcode = prog.start_opcode;
  if (node->opcode == OP_ORG) {
    state.counter = node->p1_value.num;
    if (node == &start_opcode) {
      if (start_opcode.next == &start_opcode) {
        // Nothing but ORG directives: the program holds no statement.
        start_opcode = opcode_node{};
        return nullptr;
      }
      head_takes_over_second(prog);
      return &start_opcode;
    }
    opcode_node* following = node->next;
    program::unlink_opcode(node);
    if (following == &start_opcode) return nullptr;
    following->org_fixed = 1;
    return following;
  }
  node->address = state.counter;
  state.counter += node->size;
  if (node->label != nullptr) node->label->address = node->address + node->size;
  return node->next == &start_opcode ? nullptr : node->next;
}
