#include "lsp/text.h"

#include <gtest/gtest.h>

namespace lsp {
namespace {

std::vector<std::string> identifiers(std::string_view text) {
  std::vector<std::string> list;
  for (const token& t : tokenize(text)) {
    if (t.kind == token_kind::identifier) {
      list.push_back(std::string(t.text) + "@" + std::to_string(t.line) + ":" +
                     std::to_string(t.start));
    }
  }
  return list;
}

TEST(LspText, TokenizerSkipsBothKindsOfComment) {
  const std::string text =
      "start: move x, LIMIT ; LIMIT in a comment\n"
      "<Comment> LIMIT\n still LIMIT <endCOMMENT> goto start\n"
      "  addr 0x1F, 12.5 ; numbers are no names\n";
  EXPECT_EQ(identifiers(text),
            (std::vector<std::string>{"start@0:0", "move@0:7", "x@0:12", "LIMIT@0:15", "goto@2:26",
                                      "start@2:31", "addr@3:2"}));
}

TEST(LspText, IncludeNamesAndDefines) {
  const std::string text =
      "#include \"defs.inc\"\n  #include <lib.inc> ; x\n#define FAST\n#ifdef FAST\n";
  const std::vector<token> tokens = tokenize(text);
  std::vector<std::string> names;
  for (const token& t : tokens) {
    if (t.kind == token_kind::include_name)
      names.push_back(std::string(t.text) + (t.angled ? "<>" : "\"\""));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"defs.inc\"\"", "lib.inc<>"}));
  const std::vector<token> defined = defined_names(tokens);
  ASSERT_EQ(defined.size(), 1u);
  EXPECT_EQ(defined[0].text, "FAST");
  EXPECT_EQ(defined[0].line, 2);
  const token* at = token_at(tokens, 0, 12);
  ASSERT_NE(at, nullptr);
  EXPECT_EQ(at->kind, token_kind::include_name);
}

TEST(LspText, TokenAtPrefersTheTokenThatStartsThere) {
  const std::vector<token> tokens = tokenize("goto x,y\n");
  EXPECT_EQ(token_at(tokens, 0, 0)->text, "goto");
  EXPECT_EQ(token_at(tokens, 0, 4)->text, "goto");  // right after the word
  EXPECT_EQ(token_at(tokens, 0, 7)->text, "y");
  EXPECT_EQ(token_at(tokens, 1, 0), nullptr);
}

TEST(LspText, ColumnsInUtf16AndBytes) {
  const std::string line =
      "a\xC3\xA9"
      "b\xF0\x9F\x98\x80"
      "c";  // a é b 😀 c
  EXPECT_EQ(client_column(line, 3, column_unit::utf16), 2);
  EXPECT_EQ(client_column(line, 8, column_unit::utf16), 5);  // the emoji takes two units
  EXPECT_EQ(client_column(line, 8, column_unit::utf8), 8);
  EXPECT_EQ(byte_offset(line, 5, column_unit::utf16), 8u);
  EXPECT_EQ(byte_offset(line, 99, column_unit::utf16), line.size());
  EXPECT_EQ(byte_offset(line, 99, column_unit::utf8), line.size());
  EXPECT_EQ(client_column("\xFF\xFF", 2, column_unit::utf16), 2);  // stray bytes count one each
}

TEST(LspText, LinesAndWords) {
  const auto lines = split_lines("a\r\nb\n\nc\n");
  EXPECT_EQ(lines, (std::vector<std::string_view>{"a", "b", "", "c", ""}));
  EXPECT_EQ(find_word("  xlabel: label", "label"), 10u);
  EXPECT_EQ(find_word("  nothing", "label"), 2u);
}

}  // namespace
}  // namespace lsp
