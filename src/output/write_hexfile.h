#pragma once
/// Places the program and writes the hex, simulator hex, object and EEPROM files.
void write_hexfile();
