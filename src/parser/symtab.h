// The table of declared names: constants and jump labels.
#pragma once

/// Clears all slots.
void symtab_reset();
