// One assembly of a main source for the editor: its messages by file, the
// sources it read, and the names it declared.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "lsp/overlay_disk.h"

namespace lsp {

/// How the server runs the assembler: the editor's settings.
struct run_settings {
  std::vector<std::string> include_dirs;  ///< absolute, or relative to the root
  std::vector<std::string> defines;
  bool warnings = true;  ///< -W: the optional warnings too
};

struct message_record {
  std::string file;    ///< normalised; empty when the message names no file
  int line = 0;        ///< 1-based; 0 for none
  int column = 0;      ///< 1-based byte column; 0 when not known
  int end_column = 0;  ///< the last column of the range; 0 when not known
  severity level = severity::error;
  std::string code;  ///< the message's stable name
  std::string text;
};

struct symbol {
  enum kind_t { label, constant, define } kind = label;
  std::string name;
  std::string file;        ///< normalised; empty for a name defined in the settings
  int line = 0;            ///< 1-based
  std::int32_t value = 0;  ///< a constant's value
  bool has_address = false;
  int address = 0;  ///< a label's address after the jump optimisation
};

struct analysis {
  std::string main;  ///< normalised path of the main source
  int status = 0;
  /// True when the run went through to the end: label addresses are final.
  bool complete = false;
  std::vector<message_record> messages;
  std::set<std::string> files;  ///< every source the run read, normalised
  std::vector<symbol> symbols;
};

/// The command line of a run of `main_path` with `settings`, the include
/// directories made absolute against the disk's root (those that do not
/// exist are left out and named in `dropped`).
std::vector<std::string> run_arguments(const std::string& main_path, const run_settings& settings,
                                       overlay_disk& disk, std::vector<std::string>& dropped);

/// Assembles `main_path` (an absolute path) over `disk`; never writes.
analysis analyse(const std::string& main_path, const run_settings& settings, overlay_disk& disk);

}  // namespace lsp
