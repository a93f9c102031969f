// The lexical rules of the assembler source (re2c generates the matcher).
//
// Longest match, and the earlier rule on a tie. Ignored text (comments, the
// rest of a line, skipped blocks, runs of blanks) is not matched but skipped
// with memchr in the buffer, so it needs no room there: memory stays flat
// however long a comment is. Ignored text is located as a row of pieces of
// at most 128 bytes; the last piece locates the end of the input after it.
#include "scanner/lexer.h"

#include <cstring>
#include <new>
#include <string_view>

#include "scanner/include_path.h"
#include "scanner/keywords.h"
#include "scanner/numbers.h"

namespace {

/// Each source gets a buffer of its own, refilled by reads of up to this.
constexpr std::size_t SOURCE_BUFFER_SIZE = 131072;
/// Ignored text is located in pieces of at most this many bytes.
constexpr unsigned PIECE = 128;

bool is_blank(unsigned char c) { return c == ' ' || c == '\t'; }

bool is_name_char(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

/// Compares with a lower-case word in any letter case.
bool is_word(const unsigned char* text, std::string_view lower) {
  for (std::size_t i = 0; i < lower.size(); ++i) {
    unsigned char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    if (c != static_cast<unsigned char>(lower[i])) return false;
  }
  return true;
}

bool is_const_keyword(std::string_view word) {
  constexpr std::string_view keyword = "const";
  return word.size() == keyword.size() &&
         is_word(reinterpret_cast<const unsigned char*>(word.data()), keyword);
}

std::string_view text_of(const unsigned char* from, const unsigned char* to) {
  return std::string_view(reinterpret_cast<const char*>(from), static_cast<std::size_t>(to - from));
}

const unsigned char* find(const unsigned char* from, const unsigned char* to, unsigned char c) {
  const void* found = std::memchr(from, c, static_cast<std::size_t>(to - from));
  return found != nullptr ? static_cast<const unsigned char*>(found) : to;
}

/// The line feeds in from..to.
std::size_t count_lines(const unsigned char* from, const unsigned char* to) {
  std::size_t lines = 0;
  for (const unsigned char* feed = find(from, to, '\n'); feed != to; feed = find(from, to, '\n')) {
    ++lines;
    from = feed + 1;
  }
  return lines;
}

}  // namespace

void scanner::set_main_source(std::unique_ptr<source_reader> stream, const std::string& path) {
  main_stream_ = std::move(stream);
  main_path_ = path;
  for (const std::string& name : glue_.predefined()) defined_.insert(name);
}

void scanner::close_main_source() {
  if (!sources_.empty()) sources_.front().stream.reset();
}

// --- the line log ---

void scanner::flush_line_log() {
  if (log_ == nullptr || sources_.empty()) return;
  source& current = sources_.back();
  const bool skipped = skipping();
  while (current.lines_logged < line_) {
    ++current.lines_logged;
    current.current_log_line = log_->add_line(current.log_id, current.lines_logged, skipped);
  }
}

void scanner::log_skip_change() {
  if (log_ == nullptr) return;
  const bool was_skipping = skipping();
  flush_line_log();
  // The line where skipping ends was not skipped whole.
  if (was_skipping && sources_.back().current_log_line != line_log::npos) {
    log_->mark_read(sources_.back().current_log_line);
  }
}

// --- the source stack ---

void scanner::push(std::unique_ptr<source_reader> stream, const std::string& path) {
  source entry;
  try {
    entry.name = glue_.keep(path);
    entry.stream = std::move(stream);
    if (sources_.size() == sources_.capacity()) sources_.reserve(2 * sources_.size() + 1);
  } catch (const std::bad_alloc&) {
    glue_.out_of_memory();
  }
  // The buffer is not cleared: only the pages a read fills are touched.
  // Both ends for want of memory keep the texts they have always had.
  try {
    entry.buffer = std::make_unique_for_overwrite<unsigned char[]>(SOURCE_BUFFER_SIZE + 1);
  } catch (const std::bad_alloc&) {
    glue_.fatal(sources_.empty() ? nullptr : sources_.back().name, static_cast<int>(line_),
                "out of dynamic memory in yy_create_buffer()");
  }
  entry.capacity = SOURCE_BUFFER_SIZE;
  if (log_ != nullptr) entry.log_id = log_->open_source(entry.name);
  if (!sources_.empty()) {
    flush_line_log();  // the directive's line comes before the included lines
    source& including = sources_.back();
    including.cursor = cur_;
    including.limit = lim_;
    including.line = line_;
    including.at_line_start = at_line_start_;
  }
  sources_.push_back(std::move(entry));
  source& current = sources_.back();
  tok_ = cur_ = mar_ = lim_ = current.buffer.get();
  *lim_ = 0;
  line_ = 1;
  at_line_start_ = true;
  glue_.set_current_file(current.name);
}

bool scanner::pop() {
  flush_line_log();
  if (sources_.size() < 2) return false;
  sources_.pop_back();
  source& including = sources_.back();
  tok_ = cur_ = mar_ = including.cursor;
  lim_ = including.limit;
  line_ = including.line;
  at_line_start_ = including.at_line_start;
  glue_.set_current_file(including.name);
  return true;
}

/// Enters an included source. False when it cannot be opened or is open
/// already (both reported and counted; a recursion at `directive_line` of
/// the including source).
bool scanner::open_include(std::string path, int directive_line, bool search) {
  std::string reason;
  std::unique_ptr<source_reader> stream = glue_.open_source(path, reason);
  // Not found where it always was: the include directories, in order. What
  // is reported when none has it is the usual place.
  for (std::size_t dir = 0; stream == nullptr && search && dir < glue_.include_dirs().size();
       ++dir) {
    std::string candidate = glue_.include_dirs()[dir];
    if (!candidate.empty() && candidate.back() != '/' && candidate.back() != '\\') {
      candidate += '/';
    }
    candidate += name_;
    std::string ignored;
    stream = glue_.open_source(candidate, ignored);
    if (stream != nullptr) path = candidate;
  }
  if (stream == nullptr) {
    glue_.cannot_open(sources_.back().name, directive_line, path, reason);
    return false;
  }
  for (const source& entry : sources_) {
    if (path == entry.name) {
      glue_.include_recursion(sources_.back().name, directive_line);
      return false;
    }
  }
  push(std::move(stream), path);
  glue_.include_opened(path);
  return true;
}

// --- the buffer ---

/// Reads more of the current source, keeping the text from tok_ on; false
/// at its end. A read error ends the run.
bool scanner::fill() {
  source& current = sources_.back();
  if (current.at_end) return false;
  unsigned char* base = current.buffer.get();
  const std::size_t kept = static_cast<std::size_t>(lim_ - tok_);
  if (mar_ < tok_) mar_ = tok_;  // a back-up point of an earlier match
  if (kept == current.capacity) {
    // One match fills the whole buffer: double it.
    std::size_t grown = current.capacity * 2;
    std::unique_ptr<unsigned char[]> larger;
    try {
      larger = std::make_unique_for_overwrite<unsigned char[]>(grown + 1);
    } catch (const std::bad_alloc&) {
      glue_.fatal(current.name, static_cast<int>(line_),
                  "fatal error - scanner input buffer overflow");
    }
    std::memcpy(larger.get(), tok_, kept);
    cur_ = larger.get() + (cur_ - tok_);
    mar_ = larger.get() + (mar_ - tok_);
    current.buffer = std::move(larger);
    current.capacity = grown;
    base = current.buffer.get();
  } else if (tok_ != base) {
    std::memmove(base, tok_, kept);
    cur_ = base + (cur_ - tok_);
    mar_ = base + (mar_ - tok_);
  }
  tok_ = base;
  lim_ = base + kept;
  *lim_ = 0;
  long count = 0;
  if (current.stream != nullptr) {
    count = current.stream->read(reinterpret_cast<char*>(lim_), current.capacity - kept);
    if (count < 0) glue_.read_error(current.name);
  }
  if (count == 0) {
    current.at_end = true;
    return false;
  }
  if (log_ != nullptr) log_->add_text(current.log_id, text_of(lim_, lim_ + count));
  lim_ += count;
  *lim_ = 0;
  return true;
}

/// Makes `count` bytes from cur_ on available if the source has them.
bool scanner::ensure(std::size_t count) {
  while (static_cast<std::size_t>(lim_ - cur_) < count) {
    if (!fill()) return false;
  }
  return true;
}

/// Moves cur_ over blanks, refilling as needed without keeping them.
std::size_t scanner::skip_blanks() {
  std::size_t count = 0;
  for (;;) {
    unsigned char* start = cur_;
    while (is_blank(*cur_)) ++cur_;  // the 0 at lim_ stops the loop
    count += static_cast<std::size_t>(cur_ - start);
    if (cur_ != lim_) return count;
    tok_ = cur_;
    if (!fill()) return count;
  }
}

// --- locations ---

/// The location of a match of `length` bytes at the current column.
void scanner::locate(YYLTYPE& location, std::size_t length) {
  location.first_line = location.last_line = static_cast<int>(line_);
  location.first_column = static_cast<int>(column_);
  column_ += static_cast<unsigned>(length);
  location.last_column = static_cast<int>(column_ - 1);
}

/// The location of the last 128-byte piece of ignored text that ran from
/// `start_column` to before `end_column` on the current line.
void scanner::locate_pieces(YYLTYPE& location, unsigned start_column, unsigned end_column) {
  if (end_column == start_column) return;  // the last match was something else
  location.first_line = location.last_line = static_cast<int>(line_);
  location.first_column = static_cast<int>(start_column + (end_column - start_column - 1) / PIECE * PIECE);
  location.last_column = static_cast<int>(end_column - 1);
}

/// A byte that no rule of the condition takes, after a directive.
void scanner::jam() {
  glue_.fatal(sources_.back().name, static_cast<int>(line_), "unexpected character after a directive");
}

// --- the scanner ---

int scanner::next(YYSTYPE& value, YYLTYPE& location) {
  if (!started_) {
    started_ = true;
    errors_at_start_ = glue_.error_count();
    push(std::move(main_stream_), main_path_);
  }
  // After a NEWLINE the parser stands at the start of a line (or after a
  // jump label), where a further NEWLINE changes nothing: a run of line ends
  // goes to it as one. Not once the parse has counted an error: error
  // recovery counts the tokens it shifts.
  const bool merge = after_newline_ && glue_.error_count() == errors_at_start_;
  for (;;) {
    int token = 0;
    switch (cond_) {
      case condition::initial:
        token = scan_initial(value, location, merge);
        break;
      case condition::include_start:
        token = include_start(location);
        break;
      case condition::include_quoted:
      case condition::include_angled:
        token = include_name(location);
        break;
      case condition::define_name:
      case condition::ifdef_name:
        token = directive_name(location);
        break;
      case condition::skip_if:
      case condition::skip_else:
        token = skipped_block(location);
        break;
    }
    if (token == AGAIN) continue;
    if (token == END_OF_SOURCE) {
      // The end of an included source resumes its includer in the same
      // condition.
      if (pop()) continue;
      token = 0;
    }
    if (token == NEWLINE && merge) continue;
    after_newline_ = token == NEWLINE;
    return token;
  }
}

/// The initial condition. With `merge` its NEWLINE tokens are dropped here
/// at once (next() drops those of the other conditions).
int scanner::scan_initial(YYSTYPE& value, YYLTYPE& location, bool merge) {
  for (;;) {
    if (at_line_start_) {
      at_line_start_ = false;
      if (cur_ == lim_ || is_blank(*cur_) || *cur_ == '#') {
        int directive = line_start(location);
        if (directive != 0) return directive;
      }
    }
    tok_ = cur_;
    /*!re2c
      re2c:api:style = free-form;
      re2c:define:YYCTYPE = "unsigned char";
      re2c:define:YYCURSOR = cur_;
      re2c:define:YYMARKER = mar_;
      re2c:define:YYLIMIT = lim_;
      re2c:define:YYFILL = "fill()";
      re2c:eof = 0;

      $ { return END_OF_SOURCE; }

      "<" 'comment' ">" {
        locate(location, 9);
        return comment(location);
      }
      ";" {
        locate(location, 1);
        // Most comments end in the buffer: find their line feed here.
        if (const void* feed = std::memchr(cur_, '\n', static_cast<std::size_t>(lim_ - cur_))) {
          const std::ptrdiff_t length = static_cast<const unsigned char*>(feed) - cur_;
          column_ += static_cast<unsigned>(length);
          cur_ += length + 1;
          ++line_;
          locate(location, 1);
          column_ = 1;
          at_line_start_ = true;
          if (merge) continue;
          return NEWLINE;
        }
        int token = rest_of_line(location);
        if (token == NEWLINE && merge) continue;
        return token;
      }
      '#else' {
        locate(location, 5);
        // Text after "#else" on its line keeps the else-part: the line is
        // ignored. Alone on its line it starts skipping.
        tok_ = cur_;
        if ((cur_ != lim_ || fill()) && *cur_ != '\n') {
          glue_.warn(message_id::else_with_text, sources_.back().name, static_cast<int>(line_));
          if (!in_block_) {
            glue_.warn(message_id::conditional_outside_block, sources_.back().name,
                       static_cast<int>(line_), "#else");
          }
          int token = rest_of_line(location);
          if (token == NEWLINE && merge) continue;
          return token;
        }
        if (!in_block_) {
          glue_.warn(message_id::conditional_outside_block, sources_.back().name,
                     static_cast<int>(line_), "#else");
        }
        log_skip_change();
        cond_ = condition::skip_else;
        return AGAIN;
      }
      '#endif' {
        // Nothing to end outside a skipped part.
        locate(location, 6);
        if (!in_block_) {
          glue_.warn(message_id::conditional_outside_block, sources_.back().name,
                     static_cast<int>(line_), "#endif");
        }
        in_block_ = false;
        int token = rest_of_line(location);
        if (token == NEWLINE && merge) continue;
        return token;
      }
      [-/*+():,] {
        locate(location, 1);
        return *tok_;
      }
      [ \t] {
        unsigned start = column_;
        column_ += static_cast<unsigned>(1 + skip_blanks());
        locate_pieces(location, start, column_);
        continue;
      }
      "\n" {
        ++line_;
        locate(location, 1);
        column_ = 1;
        at_line_start_ = true;
        if (merge) continue;
        return NEWLINE;
      }
      "\r" | "|" {
        locate(location, 1);
        column_ = 1;
        if (merge) continue;
        return NEWLINE;
      }
      [0-9]+ {
        locate(location, static_cast<std::size_t>(cur_ - tok_));
        value.num = decimal_value(text_of(tok_, cur_));
        return INT;
      }
      "0" [xX] [0-9A-Fa-f]+ {
        locate(location, static_cast<std::size_t>(cur_ - tok_));
        value.num = hex_value(text_of(tok_ + 2, cur_));
        return INT;
      }
      "-"? [0-9]+ "." [0-9]+ {
        locate(location, static_cast<std::size_t>(cur_ - tok_));
        fraction_result fraction = fraction_value(text_of(tok_, cur_));
        if (!fraction.in_range) {
          glue_.fraction_out_of_range(sources_.back().name, static_cast<int>(line_),
                                      location.first_column);
        }
        value.num = fraction.value;
        return INT;
      }
      [A-Za-z_] [A-Za-z0-9_]* {
        locate(location, static_cast<std::size_t>(cur_ - tok_));
        return word_token(value);
      }
      * {
        locate(location, 1);
        glue_.bad_character(sources_.back().name, static_cast<int>(line_), location.first_column,
                            static_cast<char>(*tok_));
        continue;
      }
    */
  }
}

/// At the start of a line: blanks, then maybe "#define", "#ifdef" or
/// "#include" with the blanks after it, all one match. Returns AGAIN for a
/// directive, else 0 with the blanks (if any) matched.
int scanner::line_start(YYLTYPE& location) {
  tok_ = cur_;
  if (cur_ == lim_ && !fill()) return 0;
  if (!is_blank(*cur_) && *cur_ != '#') return 0;
  const unsigned start = column_;
  const std::size_t blanks = skip_blanks();
  tok_ = cur_;
  if (*cur_ == '#') ensure(8);
  const std::size_t available = static_cast<std::size_t>(lim_ - cur_);
  std::size_t length = 0;
  condition next = condition::initial;
  if (available >= 7 && is_word(cur_, "#define")) {
    length = 7;
    next = condition::define_name;
  } else if (available >= 6 && is_word(cur_, "#ifdef")) {
    length = 6;
    next = condition::ifdef_name;
  } else if (available >= 8 && is_word(cur_, "#include")) {
    length = 8;
    next = condition::include_start;
  }
  if (length == 0) {
    column_ += static_cast<unsigned>(blanks);
    locate_pieces(location, start, column_);
    return 0;
  }
  cur_ += length;
  const std::size_t total = blanks + length + skip_blanks();
  column_ = start;
  locate(location, total);
  if (next == condition::include_start) include_line_ = static_cast<int>(line_);
  cond_ = next;
  return AGAIN;
}

/// Keywords, registers and constants win over plain identifiers.
int scanner::word_token(YYSTYPE& value) {
  std::string_view word = text_of(tok_, cur_);
  int id = keywords_.find(word);
  if (id >= 0) {
    value.num = id;
    if (log_ != nullptr) {
      // Each instruction word begins one statement of a parse that succeeds.
      flush_line_log();
      log_->add_statement(sources_.back().current_log_line);
    }
    return OPCODE;
  }
  if (is_const_keyword(word)) return CONST;
  if (word.size() == 1) {
    switch (word[0]) {
      case 'x': case 'X': return ACCU_X;
      case 'y': case 'Y': return ACCU_Y;
      case 'z': case 'Z': return ACCU_Z;
      case 'r': case 'R': return ACCU_R;
      default: break;
    }
  }
  // The symbol table takes the name with a 0 after it: the byte behind the
  // word (the 0 at lim_ at most) stands in for a moment.
  const unsigned char behind = *cur_;
  *cur_ = 0;
  std::int32_t constant = 0;
  const bool is_constant = glue_.find_constant(reinterpret_cast<const char*>(tok_), constant);
  *cur_ = behind;
  if (is_constant) {
    value.num = constant;
    return CINT;
  }
  value.text = glue_.keep(word);
  return IDENTIFIER;
}

/// The ignored rest of a line, up to its line feed (NEWLINE) or the end of
/// the source.
int scanner::rest_of_line(YYLTYPE& location) {
  const unsigned start = column_;
  for (;;) {
    const unsigned char* feed = find(cur_, lim_, '\n');
    column_ += static_cast<unsigned>(feed - cur_);
    if (feed != lim_) {
      cur_ += feed - cur_ + 1;
      ++line_;
      locate(location, 1);
      column_ = 1;
      at_line_start_ = true;
      return NEWLINE;
    }
    cur_ = tok_ = lim_;
    if (!fill()) {
      locate_pieces(location, start, column_);
      return END_OF_SOURCE;
    }
  }
}

/// The text of a "<COMMENT>" up to "<ENDCOMMENT>" in any letter case, over
/// any number of lines. A source that ends inside it is reported and the
/// includer goes on outside the comment.
int scanner::comment(YYLTYPE& location) {
  unsigned start = column_;  // of the plain text since the last '<' or line feed
  for (;;) {
    const unsigned char* bracket = find(cur_, lim_, '<');
    for (const unsigned char* feed = find(cur_, bracket, '\n'); feed != bracket;
         feed = find(cur_, bracket, '\n')) {
      column_ += static_cast<unsigned>(feed - cur_);
      cur_ += feed - cur_ + 1;
      ++line_;
      locate(location, 1);
      column_ = start = 1;
    }
    column_ += static_cast<unsigned>(bracket - cur_);
    cur_ += bracket - cur_;
    tok_ = cur_;
    if (cur_ == lim_) {
      if (fill()) continue;
      locate_pieces(location, start, column_);
      glue_.unterminated_comment(sources_.back().name, static_cast<int>(line_));
      return END_OF_SOURCE;
    }
    if (ensure(12) && is_word(cur_, "<endcomment>")) {
      cur_ += 12;
      locate(location, 12);
      return AGAIN;
    }
    ++cur_;
    locate(location, 1);
    start = column_;
  }
}

/// A skipped part: the line feeds are counted, "#endif" ends it and, in
/// the part after "#ifdef", "#else" ends it with a NEWLINE. Both are found
/// anywhere in a line. A source that ends inside it leaves its includer
/// skipping.
int scanner::skipped_block(YYLTYPE& location) {
  unsigned start = column_;  // of the plain text since the last '#' or line feed
  for (;;) {
    const unsigned char* hash = find(cur_, lim_, '#');
    for (const unsigned char* feed = find(cur_, hash, '\n'); feed != hash;
         feed = find(cur_, hash, '\n')) {
      column_ += static_cast<unsigned>(feed - cur_);
      cur_ += feed - cur_ + 1;
      ++line_;
      locate(location, 1);
      column_ = start = 1;
    }
    column_ += static_cast<unsigned>(hash - cur_);
    cur_ += hash - cur_;
    tok_ = cur_;
    if (cur_ == lim_) {
      if (fill()) continue;
      locate_pieces(location, start, column_);
      return END_OF_SOURCE;
    }
    ensure(6);
    const std::size_t available = static_cast<std::size_t>(lim_ - cur_);
    if (cond_ == condition::skip_if && available >= 5 && is_word(cur_, "#else")) {
      cur_ += 5;
      locate(location, 5);
      column_ = 1;
      log_skip_change();
      cond_ = condition::initial;
      in_block_ = true;  // the else-part, up to its "#endif"
      return NEWLINE;
    }
    if (available >= 6 && is_word(cur_, "#endif")) {
      cur_ += 6;
      locate(location, 6);
      log_skip_change();
      cond_ = condition::initial;
      in_block_ = false;
      return AGAIN;
    }
    if (available >= 6 && is_word(cur_, "#ifdef")) {
      glue_.warn(message_id::ifdef_in_skipped_block, sources_.back().name,
                 static_cast<int>(line_));
    }
    ++cur_;
    locate(location, 1);
    start = column_;
  }
}

/// After "#include" a quote or '<' must follow; anything else is fatal.
int scanner::include_start(YYLTYPE& location) {
  tok_ = cur_;
  if (cur_ == lim_ && !fill()) return END_OF_SOURCE;
  if (*cur_ == '"') {
    cond_ = condition::include_quoted;
  } else if (*cur_ == '<') {
    cond_ = condition::include_angled;
  } else {
    jam();
  }
  ++cur_;
  locate(location, 1);
  return AGAIN;
}

/// The include name runs to its closing delimiter, over line feeds and to
/// the end of the source if need be. Entering the named source gives a
/// NEWLINE; the rest of the directive's line is read after that source.
int scanner::include_name(YYLTYPE& location) {
  const bool angled = cond_ == condition::include_angled;
  const unsigned char closing = angled ? '>' : '"';
  tok_ = cur_;
  if (cur_ == lim_ && !fill()) return END_OF_SOURCE;
  if (*cur_ == closing) {
    ++cur_;
    locate(location, 1);
    glue_.bad_include_line(sources_.back().name, static_cast<int>(line_));
    cond_ = condition::initial;
    return AGAIN;
  }
  name_.clear();
  std::size_t lines = 0;
  for (;;) {
    const unsigned char* end = find(cur_, lim_, closing);
    lines += count_lines(cur_, end);
    name_.append(text_of(cur_, end));
    cur_ += end - cur_;
    tok_ = cur_;
    if (cur_ != lim_ || !fill()) break;
  }
  line_ += static_cast<unsigned>(lines);
  locate(location, name_.size());
  if (cur_ != lim_) ++cur_;  // the closing delimiter
  // Paths are C strings: a NUL ends the name, as it would end the path.
  name_.resize(std::strlen(name_.c_str()));
  std::string path = angled ? angled_include_path(glue_.library_root(), name_)
                            : quoted_include_path(sources_.back().name, name_);
  column_ = 1;
  // A source that cannot be entered abandons the one holding the directive;
  // in the main source that ends the input.
  const bool search = angled || !is_absolute_include(name_);
  if (!open_include(path, include_line_, search) && !pop()) return 0;
  cond_ = condition::initial;
  return NEWLINE;
}

/// The name after "#define" or "#ifdef": at least one name character, else
/// fatal. A defined name, or one that is tested and defined, gives a
/// NEWLINE; an undefined one starts skipping.
int scanner::directive_name(YYLTYPE& location) {
  tok_ = cur_;
  if (cur_ == lim_ && !fill()) return END_OF_SOURCE;
  if (!is_name_char(*cur_)) jam();
  name_.clear();
  for (;;) {
    while (is_name_char(*cur_)) ++cur_;  // the 0 at lim_ stops the loop
    name_.append(text_of(tok_, cur_));
    tok_ = cur_;
    if (cur_ != lim_ || !fill()) break;
  }
  locate(location, name_.size());
  if (cond_ == condition::define_name) {
    if (!defined_.insert(name_).second) {
      glue_.warn(message_id::name_defined_twice, sources_.back().name, static_cast<int>(line_),
                 name_.c_str());
    }
  } else if (defined_.count(name_) == 0) {
    log_skip_change();
    cond_ = condition::skip_if;
    return AGAIN;
  } else {
    in_block_ = true;
  }
  column_ = 1;
  cond_ = condition::initial;
  return NEWLINE;
}
