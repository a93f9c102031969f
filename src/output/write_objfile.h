// The object file (jump labels with their addresses) and the EEPROM file.
#pragma once

#include "core/run_context.h"

/// Lists every statement's jump label as a constant declaration.
void write_objfile(run_context& run);

/// Writes the EEPROM image, or removes its file when no cell is used.
void write_eeprom_file(run_context& run);
