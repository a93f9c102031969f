// What the assembler takes from the operating system: files, the working
// directory and the clock. Tests and fuzzers swap in an in-memory disk.
#pragma once

#include <cstddef>
#include <ctime>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <string_view>

#include "platform/path_style.h"

/// An open source file, read in blocks.
class source_reader {
 public:
  virtual ~source_reader() = default;
  /// Reads up to `max` bytes; returns the count (0 at the end) or -1 on error.
  virtual long read(char* buffer, std::size_t max) = 0;
};

/// An output file being written, piece by piece. The pieces go to a new
/// file beside the target, which takes the target's place at commit(): a
/// failed write leaves the old file as it was and no stray file behind.
class output_stream {
 public:
  /// Without a successful commit() the new file goes and the old one stays.
  virtual ~output_stream() = default;
  /// Appends `text`; a failure shows at commit().
  virtual void write(std::string_view text) = 0;
  /// Puts the file in place; false when any of it could not be written.
  virtual bool commit() = 0;
};

class disk_interface {
 public:
  virtual ~disk_interface() = default;
  /// Opens a source in text mode; on failure returns null and sets `reason`
  /// to the system's description of the error.
  virtual std::unique_ptr<source_reader> open_source(const std::string& path,
                                                     std::string& reason) = 0;
  /// Creates or replaces a text file; false when it cannot be written.
  virtual bool write_file(const std::string& path, const std::string& text) = 0;
  /// Starts creating or replacing a text file that is written in pieces;
  /// null when it cannot be written. The file appears at commit(). By
  /// default the pieces are gathered and given to write_file at commit().
  virtual std::unique_ptr<output_stream> create_file(const std::string& path);
  /// Deletes a regular file; a missing file is no error, and anything else
  /// of that name (a directory) stays.
  virtual void remove_file(const std::string& path) = 0;
  /// Whether both paths name one existing file: the same file on the file
  /// system, whatever the spelling (links, letter case where it does not count).
  virtual bool same_file(const std::string& a, const std::string& b) = 0;
  virtual bool is_directory(const std::string& path) = 0;
  virtual std::string working_directory() = 0;
};

/// The real file system of the platform.
class real_disk : public disk_interface {
 public:
  std::unique_ptr<source_reader> open_source(const std::string& path,
                                             std::string& reason) override;
  bool write_file(const std::string& path, const std::string& text) override;
  /// Writes as the pieces come, so that no file is ever held whole.
  std::unique_ptr<output_stream> create_file(const std::string& path) override;
  void remove_file(const std::string& path) override;
  bool same_file(const std::string& a, const std::string& b) override;
  bool is_directory(const std::string& path) override;
  std::string working_directory() override;
};

/// Files held in memory, keyed by the path as the assembler passes it with
/// '/' for each backslash: the same files on every platform.
class memory_disk : public disk_interface {
 public:
  std::unique_ptr<source_reader> open_source(const std::string& path,
                                             std::string& reason) override;
  bool write_file(const std::string& path, const std::string& text) override;
  void remove_file(const std::string& path) override;
  bool same_file(const std::string& a, const std::string& b) override;
  /// A directory is one named in `directories`, or one that holds a file.
  bool is_directory(const std::string& path) override;
  std::string working_directory() override { return cwd; }

  std::set<std::string> directories;

  std::map<std::string, std::string> files;
  std::string cwd = "/work";
  /// Paths whose writes fail, to test unwritable outputs.
  std::map<std::string, bool> read_only;

  /// The key of a path in `files` and `read_only`.
  static std::string key(const std::string& path);
};

/// SOURCE_DATE_EPOCH: unset, a valid number of seconds (up to the last
/// second of year 9999, which the headers can show), or anything else.
struct epoch_setting {
  enum { unset, valid, invalid } state = unset;
  std::time_t seconds = 0;
  std::string text;  ///< as set, for the message about an invalid one
};
epoch_setting source_date_epoch();

/// Time stamp of the output headers, "Wed Dec 09 08:35:47 2026": the local
/// time, or SOURCE_DATE_EPOCH in UTC when that is set, for reproducible builds.
std::string header_time();
