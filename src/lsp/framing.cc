#include "lsp/framing.h"

#include <algorithm>

namespace lsp {

namespace {

constexpr std::string_view length_header = "content-length:";

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool equals_lower(std::string_view text, std::string_view lowercase) {
  if (text.size() != lowercase.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lower(text[i]) != lowercase[i]) return false;
  }
  return true;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

/// Decimal digits only; false on anything else or on overflow past the
/// limit (a length that large is refused anyway, so it need not be exact).
bool parse_length(std::string_view text, std::size_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::size_t>(c - '0');
    if (value > max_message_size * 16) value = max_message_size * 16;
  }
  return true;
}

}  // namespace

void frame_reader::feed(std::string_view bytes, std::vector<frame_event>& events) {
  while (!bytes.empty()) {
    switch (state_) {
      case state::header: {
        const std::size_t end = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, end);
        if (line_.size() + piece.size() > max_header_line) {
          fail_header("header line too long", events);
          break;
        }
        line_ += piece;
        if (end == std::string_view::npos) return;
        bytes.remove_prefix(end + 1);
        if (!line_.empty() && line_.back() == '\r') line_.pop_back();
        const std::string line = std::move(line_);
        line_.clear();
        header_line(line, events);
        break;
      }
      case state::body: {
        const std::size_t take = std::min(length_ - body_.size(), bytes.size());
        body_.append(bytes.data(), take);
        bytes.remove_prefix(take);
        if (body_.size() == length_) {
          events.push_back({frame_event::message, std::move(body_), {}});
          body_.clear();
          state_ = state::header;
        }
        break;
      }
      case state::skip: {
        const std::size_t take = std::min(length_, bytes.size());
        length_ -= take;
        bytes.remove_prefix(take);
        if (length_ == 0) state_ = state::header;
        break;
      }
      case state::resync: {
        // The header may follow the broken message's body on the same line:
        // look for it anywhere, keeping the longest tail that could begin it.
        line_ += lower(bytes.front());
        bytes.remove_prefix(1);
        while (!line_.empty() && length_header.substr(0, line_.size()) != line_) {
          line_.erase(0, 1);
        }
        if (line_.size() == length_header.size()) state_ = state::header;
        break;
      }
    }
  }
}

bool frame_reader::in_message() const {
  switch (state_) {
    case state::header: return header_started_ || !line_.empty();
    case state::body:
    case state::skip: return true;
    case state::resync: return false;
  }
  return false;
}

void frame_reader::header_line(std::string_view line, std::vector<frame_event>& events) {
  if (line.empty()) {
    // Blank lines between messages are tolerated; after headers, one ends them.
    if (header_started_) finish_header(events);
    return;
  }
  header_started_ = true;
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) {
    fail_header("malformed header line", events);
    return;
  }
  if (equals_lower(trim(line.substr(0, colon)),
                   length_header.substr(0, length_header.size() - 1))) {
    length_seen_ = true;
    if (!parse_length(trim(line.substr(colon + 1)), length_)) length_bad_ = true;
  }
}

void frame_reader::finish_header(std::vector<frame_event>& events) {
  if (!length_seen_) {
    fail_header("missing Content-Length header", events);
    return;
  }
  if (length_bad_) {
    fail_header("invalid Content-Length header", events);
    return;
  }
  header_started_ = false;
  length_seen_ = false;
  if (length_ > max_message_size) {
    events.push_back({frame_event::too_large,
                      {},
                      "message of " + std::to_string(length_) + " bytes exceeds the limit of " +
                          std::to_string(max_message_size) + " bytes"});
    state_ = state::skip;
    return;
  }
  if (length_ == 0) {
    events.push_back({frame_event::message, {}, {}});
    return;
  }
  // Reserve no more than a modest amount up front: the length is only a claim.
  body_.reserve(std::min<std::size_t>(length_, 1u << 20));
  state_ = state::body;
}

void frame_reader::fail_header(std::string detail, std::vector<frame_event>& events) {
  events.push_back({frame_event::bad_header, {}, std::move(detail)});
  header_started_ = false;
  length_seen_ = false;
  length_bad_ = false;
  length_ = 0;
  line_.clear();
  state_ = state::resync;
}

std::string frame(std::string_view body) {
  std::string text = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  text += body;
  return text;
}

}  // namespace lsp
