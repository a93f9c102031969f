// The base protocol's framing: "Content-Length: N" headers, a blank line,
// then N bytes of JSON. The reader takes bytes in any pieces, so the same
// code serves standard input, the tests and the fuzzer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lsp {

/// The largest body taken in; a longer one is skipped unread.
constexpr std::size_t max_message_size = 64u << 20;
/// A header line longer than this is garbage, not a header.
constexpr std::size_t max_header_line = 4096;

/// What the reader found: a whole body, or a problem to answer with an error.
struct frame_event {
  enum kind_t {
    message,     ///< `body` holds one message
    too_large,   ///< a Content-Length above the limit; its body is skipped
    bad_header,  ///< a header block without a usable Content-Length
  } kind = message;
  std::string body;
  std::string detail;  ///< what was wrong, for the error's message
};

/// Cuts a byte stream into message bodies. After a bad header it skips to
/// the next "Content-Length:", so one broken frame costs that frame alone.
class frame_reader {
 public:
  /// Takes the next bytes; appends what they complete to `events`.
  void feed(std::string_view bytes, std::vector<frame_event>& events);
  /// True while a message has been started but not finished: EOF now means
  /// a message was cut off.
  bool in_message() const;

 private:
  enum class state { header, body, skip, resync };
  void header_line(std::string_view line, std::vector<frame_event>& events);
  void finish_header(std::vector<frame_event>& events);
  void fail_header(std::string detail, std::vector<frame_event>& events);

  state state_ = state::header;
  /// The header line being read; in resync, the tail that may begin a header.
  std::string line_;
  bool header_started_ = false;
  bool length_seen_ = false;
  bool length_bad_ = false;
  std::size_t length_ = 0;  ///< the body length, or the bytes left to skip
  std::string body_;
};

/// One message with its header, ready to write.
std::string frame(std::string_view body);

}  // namespace lsp
