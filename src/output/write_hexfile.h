#pragma once

#include "core/run_context.h"
/// Places the program and writes the hex, simulator hex, object and EEPROM files.
void write_hexfile(run_context& run);
