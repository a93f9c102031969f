// The token stream the parser gets: kinds, values and locations, across
// included sources and across refills of the input buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "core/run_context.h"
#include "parser.hh"
#include "platform/disk.h"
#include "scanner/lexer.h"

namespace {

struct scanned {
  int kind = 0;
  YYLTYPE where{};
  std::int32_t num = 0;
  std::string text;
  std::string file;
};

/// Every token of a run on `files`, up to the end of the input.
std::vector<scanned> scan(memory_disk& files, const std::string& path) {
  capture_sink sink;
  run_context run(files, sink);
  run.working_directory = files.working_directory();
  std::string reason;
  scanner lexer{scanner_glue(run)};
  lexer.set_main_source(files.open_source(path, reason), path);
  std::vector<scanned> tokens;
  for (;;) {
    scanned token;
    YYSTYPE value{};
    token.kind = lexer.next(value, token.where);
    if (token.kind == INT || token.kind == OPCODE) token.num = value.num;
    if (token.kind == IDENTIFIER) token.text = value.text;
    token.file = run.current_file != nullptr ? run.current_file : "";
    tokens.push_back(token);
    if (token.kind == 0) break;
  }
  EXPECT_EQ(sink.out, "");
  EXPECT_EQ(sink.err, "");
  return tokens;
}

void expect_at(const scanned& token, int kind, int line, int first_column, int last_column) {
  EXPECT_EQ(token.kind, kind);
  EXPECT_EQ(token.where.first_line, line);
  EXPECT_EQ(token.where.last_line, line);
  EXPECT_EQ(token.where.first_column, first_column);
  EXPECT_EQ(token.where.last_column, last_column);
}

TEST(Lexer, TokensAreLocatedByLineAndColumnATabCountingOne) {
  memory_disk files;
  files.files["m.asm"] = "move\tx, 0x1F ; note\nnop|nop\n";
  std::vector<scanned> tokens = scan(files, "m.asm");
  ASSERT_EQ(tokens.size(), 10u);
  expect_at(tokens[0], OPCODE, 1, 1, 4);
  expect_at(tokens[1], ACCU_X, 1, 6, 6);
  expect_at(tokens[2], ',', 1, 7, 7);
  expect_at(tokens[3], INT, 1, 9, 12);
  EXPECT_EQ(tokens[3].num, 31);
  // A line feed's NEWLINE lies on the line after it, "|" on its own line.
  expect_at(tokens[4], NEWLINE, 2, 20, 20);
  expect_at(tokens[5], OPCODE, 2, 1, 3);
  expect_at(tokens[6], NEWLINE, 2, 4, 4);
  expect_at(tokens[7], OPCODE, 2, 1, 3);
  expect_at(tokens[8], NEWLINE, 3, 4, 4);
  EXPECT_EQ(tokens[9].kind, 0);
}

TEST(Lexer, ColumnsRunOnAcrossSourcesAndLinesResumeInTheIncluder) {
  memory_disk files;
  files.files["m.asm"] = "#include \"a.inc\" x\nnop\n";
  files.files["a.inc"] = "\n\nadd";
  std::vector<scanned> tokens = scan(files, "m.asm");
  ASSERT_EQ(tokens.size(), 7u);
  // The include's NEWLINE is located at the name and comes once the
  // included source is current; the two empty lines of a.inc go with it.
  expect_at(tokens[0], NEWLINE, 1, 11, 15);
  EXPECT_EQ(tokens[0].file, "a.inc");
  expect_at(tokens[1], OPCODE, 3, 1, 3);
  EXPECT_EQ(tokens[1].file, "a.inc");
  // Back in m.asm on the directive's line, the column counting on.
  expect_at(tokens[2], ACCU_X, 1, 5, 5);
  EXPECT_EQ(tokens[2].file, "m.asm");
  expect_at(tokens[3], NEWLINE, 2, 6, 6);
  expect_at(tokens[4], OPCODE, 2, 1, 3);
  expect_at(tokens[5], NEWLINE, 3, 4, 4);
  EXPECT_EQ(tokens[6].kind, 0);
}

/// The tokens of `tail` wherever the buffer's refills fall in it.
TEST(Lexer, RefillsOfTheInputBufferDoNotShowInTheTokens) {
  const std::string tail =
      "foo 123 0x1F -0.25 <COMMENT>\n<ENDCOMMENT>bar ; note\n"
      "    #define  FOO\n#ifdef FOO\n\tnop\n#else\nskipped #endif nop\n"
      "#ifdef BAR\nskipped\n#ELSE\n#endif ; ignored\nadd";
  std::vector<int> expected_kinds;
  std::vector<std::string> expected_text;
  for (std::size_t filler = 131072 - 200; filler < 131072 + 8; ++filler) {
    memory_disk files;
    // One comment line of `filler` bytes puts the tail at that offset.
    files.files["m.asm"] = ";" + std::string(filler - 2, 'c') + "\n" + tail;
    std::vector<scanned> tokens = scan(files, "m.asm");
    std::vector<int> kinds;
    std::vector<std::string> text;
    // The first token is the filler's own line end.
    tokens.erase(tokens.begin());
    for (const scanned& token : tokens) {
      kinds.push_back(token.kind);
      text.push_back(token.text + "/" + std::to_string(token.num) + "/" +
                     std::to_string(token.where.first_line) + "." +
                     std::to_string(token.where.first_column));
    }
    if (expected_kinds.empty()) {
      expected_kinds = kinds;
      expected_text = text;
      continue;
    }
    EXPECT_EQ(kinds, expected_kinds) << "filler " << filler;
    EXPECT_EQ(text, expected_text) << "filler " << filler;
  }
  // Each run of line ends (with the directives' NEWLINE tokens) comes as one.
  const std::vector<int> kinds = {IDENTIFIER, INT,     INT,    INT,    IDENTIFIER, NEWLINE,
                                  OPCODE,     NEWLINE, OPCODE, NEWLINE, OPCODE,    0};
  EXPECT_EQ(expected_kinds, kinds);
}

}  // namespace
