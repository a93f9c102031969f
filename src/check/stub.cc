// Placeholder until the back end lands.
#include "check/check_opcode.h"
#include "layout/check_jump.h"
#include "output/write_dbgfile.h"
#include "output/write_hexfile.h"
void check_opcode() {}
void check_jump() {}
void write_hexfile() {}
void write_dbgfile() {}
