// The disk the server's runs see: the editor's unsaved buffers first, then
// the real files. Nothing is ever written: an editor session must not
// leave output files behind, nor change any.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/disk.h"

namespace lsp {

class overlay_disk : public disk_interface {
 public:
  /// `base` is read where no buffer covers a path; it must outlive this disk.
  explicit overlay_disk(disk_interface& base) : base_(base) {}

  /// Puts the text of an open buffer in front of the file at `path`.
  void set_buffer(const std::string& path, std::string text);
  void drop_buffer(const std::string& path);
  /// The buffer's text, or null when the path has none.
  const std::string* buffer(const std::string& path) const;
  /// The buffer's text, else the file's (empty when it cannot be read).
  std::string read(const std::string& path);
  /// Whether the buffer or the file exists.
  bool exists(const std::string& path);

  /// Every source a run opened since the last call, by normalised path.
  std::set<std::string> take_opened();

  std::unique_ptr<source_reader> open_source(const std::string& path, std::string& reason) override;
  bool write_file(const std::string& path, const std::string& text) override;
  void remove_file(const std::string& path) override;
  bool same_file(const std::string& a, const std::string& b) override;
  bool is_directory(const std::string& path) override;
  std::string working_directory() override;

  /// The directory the runs take as their working directory (angled
  /// includes are found in its lib/); the base's own when empty.
  std::string root;

 private:
  disk_interface& base_;
  std::map<std::string, std::string> buffers_;  ///< by path_key
  std::set<std::string> opened_;
};

}  // namespace lsp
