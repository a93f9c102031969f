// The scanner of the assembler source: tokens, comments, include files and
// conditional assembly, with all of its state in one object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/line_log.h"
#include "parser.hh"
#include "platform/disk.h"
#include "scanner/keywords.h"
#include "scanner/scanner_glue.h"

class scanner {
 public:
  explicit scanner(scanner_glue glue) : glue_(glue), log_(glue.listing_lines()) {}
  scanner(const scanner&) = delete;
  scanner& operator=(const scanner&) = delete;

  /// Hands over the opened main source; the first call of next() enters it.
  void set_main_source(std::unique_ptr<source_reader> stream, const std::string& path);
  /// Closes the main source's stream; its name stays valid.
  void close_main_source();
  /// Logs the lines reached since the last log entry; at the end of a
  /// parse, also one that ended early.
  void flush_line_log();

  /// The next token, 0 at the end of the input. Its value goes to `value`;
  /// every match, token or not, leaves its location in `location`.
  int next(YYSTYPE& value, YYLTYPE& location);

 private:
  /// What the next bytes are read as. Comments and the rest of a line are
  /// no conditions here: they are skipped whole where they start.
  enum class condition : unsigned char {
    initial,
    include_start,   ///< after "#include": a quote or '<' must follow
    include_quoted,  ///< the name up to '"'
    include_angled,  ///< the name up to '>'
    define_name,     ///< after "#define": the name
    ifdef_name,      ///< after "#ifdef": the name
    skip_if,         ///< the skipped part of an "#ifdef" up to "#else" or "#endif"
    skip_else,       ///< a skipped else-part up to "#endif"
  };

  /// One open source and its input buffer.
  struct source {
    std::unique_ptr<source_reader> stream;
    const char* name = nullptr;
    /// Holds `capacity` bytes of text and the 0 after the last one read.
    std::unique_ptr<unsigned char[]> buffer;
    std::size_t capacity = 0;
    /// The stream has given its last byte: it is never read again.
    bool at_end = false;
    // Where this source stands while a source it includes is read.
    unsigned char* cursor = nullptr;
    unsigned char* limit = nullptr;
    unsigned line = 1;
    bool at_line_start = true;
    // Its part of the line log, when a listing is asked for.
    std::uint32_t log_id = 0;
    unsigned lines_logged = 0;
    std::size_t current_log_line = line_log::npos;
  };

  /// Internal results besides token numbers.
  static constexpr int AGAIN = -1;          ///< the condition changed: go on
  static constexpr int END_OF_SOURCE = -2;  ///< the current source is used up

  void push(std::unique_ptr<source_reader> stream, const std::string& path);
  bool pop();
  bool open_include(std::string path, int directive_line, bool search);

  bool fill();
  bool ensure(std::size_t count);
  std::size_t skip_blanks();

  void locate(YYLTYPE& location, std::size_t length);
  void locate_pieces(YYLTYPE& location, unsigned start_column, unsigned end_column);
  [[noreturn]] void jam();
  bool skipping() const { return cond_ == condition::skip_if || cond_ == condition::skip_else; }
  /// Skipping starts or ends here: the lines before get the old state.
  void log_skip_change();

  int scan_initial(YYSTYPE& value, YYLTYPE& location, bool merge);
  int line_start(YYLTYPE& location);
  int word_token(YYSTYPE& value);
  int rest_of_line(YYLTYPE& location);
  int comment(YYLTYPE& location);
  int skipped_block(YYLTYPE& location);
  int include_start(YYLTYPE& location);
  int include_name(YYLTYPE& location);
  int directive_name(YYLTYPE& location);

  scanner_glue glue_;
  keyword_table keywords_;
  /// The run's line log, or null when no listing is asked for.
  line_log* log_;

  std::unique_ptr<source_reader> main_stream_;
  std::string main_path_;
  bool started_ = false;
  /// Bottom first: the main source, then each source it includes.
  std::vector<source> sources_;

  // The current source's buffer: the match begins at tok_, cur_ is the next
  // byte, mar_ re2c's back-up point, lim_ the end of the text read.
  unsigned char* tok_ = nullptr;
  unsigned char* cur_ = nullptr;
  unsigned char* mar_ = nullptr;
  unsigned char* lim_ = nullptr;

  /// Line of the current source; column of the next byte, from 1. The
  /// column is one counter across sources.
  unsigned line_ = 1;
  unsigned column_ = 1;
  condition cond_ = condition::initial;
  /// The last match was a line feed (or nothing was matched yet in this
  /// source): only here do the directives "#define", "#ifdef" and
  /// "#include" start.
  bool at_line_start_ = true;
  /// The last token returned was NEWLINE.
  bool after_newline_ = false;
  /// The run's error count when the scan began: errors reported before
  /// the parse (warnings made fatal) do not stop the merging of NEWLINEs.
  int errors_at_start_ = 0;
  /// The line of the "#include" being read, for its recursion message.
  int include_line_ = 0;
  /// Names of "#define" lines, compared with their exact letters.
  std::unordered_set<std::string> defined_;
  /// Inside the kept part of an "#ifdef" (or an else-part): an "#else" or
  /// "#endif" here belongs to a block.
  bool in_block_ = false;
  /// The include or directive name being read.
  std::string name_;
};

/// The token function that the pure parser calls with the scanner of its
/// parse: the next token, its value in `value` and its location in `location`.
inline int yylex(YYSTYPE* value, YYLTYPE* location, scanner& lexer) {
  return lexer.next(*value, *location);
}

