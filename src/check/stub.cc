// Placeholder until the output writers land.
#include "output/write_dbgfile.h"
#include "output/write_hexfile.h"
void write_hexfile() {}
void write_dbgfile() {}
