#pragma once
/// Checks every statement, sets sizes, resolves labels and assigns addresses.
void check_opcode();
