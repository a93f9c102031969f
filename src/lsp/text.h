// Source text as the server sees it: lines, the client's column units, and
// a small tokenizer that knows the assembler's comments and directives.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lsp {

/// The text's lines without their breaks ("\n", a "\r" before it dropped).
/// A text ending in a break has an empty last line, as editors count.
std::vector<std::string_view> split_lines(std::string_view text);

/// How the client counts columns: UTF-16 code units (the protocol's
/// default) or bytes (when it offers "utf-8").
enum class column_unit { utf16, utf8 };

/// The client's column of byte offset `byte` in `line`.
int client_column(std::string_view line, std::size_t byte, column_unit unit);
/// The byte offset of the client's column `column` in `line` (at most its length).
std::size_t byte_offset(std::string_view line, int column, column_unit unit);

enum class token_kind {
  identifier,    ///< a name: label, constant, defined name, mnemonic, register, CONST
  directive,     ///< '#' and a word: #include, #define, #ifdef, #else, #endif
  include_name,  ///< the name between the quotes or angles of an #include
  number,        ///< digits and what sticks to them (0x1F, 12.5)
};

struct token {
  token_kind kind;
  int line;           ///< 0-based
  std::size_t start;  ///< byte offset in its line
  std::string_view text;
  bool angled = false;  ///< an include name in <...>
};

/// The tokens of a source that matter to names, in order; comments (';' to
/// the end of the line, <COMMENT> ... <ENDCOMMENT> in any letter case) and
/// punctuation are left out.
std::vector<token> tokenize(std::string_view text);

/// The token that covers byte `byte` of line `line` (or ends right before
/// it), or null.
const token* token_at(const std::vector<token>& tokens, int line, std::size_t byte);

/// The names that "#define NAME" lines declare: the name tokens.
std::vector<token> defined_names(const std::vector<token>& tokens);

/// The byte offset of `name` as a whole word in `line`, or the first
/// non-blank byte when it is not there.
std::size_t find_word(std::string_view line, std::string_view name);

bool is_name_start(char c);
bool is_name_char(char c);

}  // namespace lsp
