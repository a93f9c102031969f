#include "lsp/overlay_disk.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "lsp/uri.h"

namespace lsp {

namespace {

class buffer_reader : public source_reader {
 public:
  explicit buffer_reader(std::string text) : text_(std::move(text)) {}
  long read(char* buffer, std::size_t max) override {
    const std::size_t count = std::min(max, text_.size() - position_);
    std::memcpy(buffer, text_.data() + position_, count);
    position_ += count;
    return static_cast<long>(count);
  }

 private:
  std::string text_;
  std::size_t position_ = 0;
};

/// Windows opens sources in text mode, which reads each CR LF as LF; a
/// buffer is read the way the file would be.
std::string as_read(const std::string& text) {
  if (native_style() != path_style::windows) return text;
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

}  // namespace

void overlay_disk::set_buffer(const std::string& path, std::string text) {
  buffers_[path_key(path)] = std::move(text);
}

void overlay_disk::drop_buffer(const std::string& path) { buffers_.erase(path_key(path)); }

const std::string* overlay_disk::buffer(const std::string& path) const {
  auto found = buffers_.find(path_key(path));
  return found == buffers_.end() ? nullptr : &found->second;
}

std::string overlay_disk::read(const std::string& path) {
  if (const std::string* text = buffer(path)) return *text;
  std::string reason;
  std::unique_ptr<source_reader> reader = base_.open_source(path, reason);
  std::string text;
  if (reader == nullptr) return text;
  std::vector<char> block(1 << 16);
  for (long count; (count = reader->read(block.data(), block.size())) > 0;) {
    text.append(block.data(), static_cast<std::size_t>(count));
  }
  return text;
}

bool overlay_disk::exists(const std::string& path) {
  if (buffer(path) != nullptr) return true;
  if (base_.is_directory(path)) return false;
  std::string reason;
  return base_.open_source(path, reason) != nullptr;
}

std::set<std::string> overlay_disk::take_opened() {
  std::set<std::string> opened;
  opened.swap(opened_);
  return opened;
}

std::unique_ptr<source_reader> overlay_disk::open_source(const std::string& path,
                                                         std::string& reason) {
  if (const std::string* text = buffer(path)) {
    opened_.insert(normalize_path(path));
    return std::make_unique<buffer_reader>(as_read(*text));
  }
  std::unique_ptr<source_reader> reader = base_.open_source(path, reason);
  if (reader != nullptr) opened_.insert(normalize_path(path));
  return reader;
}

bool overlay_disk::write_file(const std::string&, const std::string&) {
  // Claimed written: the run goes on as it would from the command line.
  return true;
}

void overlay_disk::remove_file(const std::string&) {}

bool overlay_disk::same_file(const std::string& a, const std::string& b) {
  if (buffer(a) != nullptr || buffer(b) != nullptr) return path_key(a) == path_key(b);
  return base_.same_file(a, b);
}

bool overlay_disk::is_directory(const std::string& path) { return base_.is_directory(path); }

std::string overlay_disk::working_directory() {
  return root.empty() ? base_.working_directory() : root;
}

}  // namespace lsp
