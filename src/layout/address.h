// Address assignment during the statement check walk: code addresses from
// the sizes, and ORG directives that set the counter and leave the list.
#pragma once

class program;
struct opcode_node;

/// The address counter of one check walk.
struct address_state {
  int counter = 0;
};

/// Moves every label written at an ORG directive to the first statement after
/// the directive (and its followers); null when none follows. It becomes that
/// statement's label when the statement has none of its own.
void attach_org_labels(program& prog);

/// Gives `node` its address, or for an ORG sets the counter and takes the
/// directive out of the list. Returns the statement the walk visits next, or
/// null when the walk is done; the head is returned again after it took over
/// the statement that followed the leading ORG.
opcode_node* assign_address(program& prog, opcode_node* node, address_state& state);

/// Makes every jump label that designates `from` designate `to`.
void update_jump(program& prog, const opcode_node* from, opcode_node* to);
