#include "platform/disk.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#include <io.h>
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

/// Asks the C runtime, which takes the name in the same code page as fopen.
bool is_directory(const std::string& native) {
#ifdef _WIN32
  struct _stat64 info;
  return _stat64(native.c_str(), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFDIR;
#else
  struct stat info;
  return stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

bool is_regular_file(const std::string& native) {
#ifdef _WIN32
  struct _stat64 info;
  return _stat64(native.c_str(), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
#else
  struct stat info;
  return stat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode);
#endif
}

/// What tells one file from another on its file system, or nothing when the
/// file cannot be looked at.
struct file_identity {
  unsigned long long volume = 0;
  unsigned long long index = 0;
  bool known = false;
};

file_identity identify(const std::string& native) {
  file_identity id;
#ifdef _WIN32
  // The C runtime has no inode numbers on Windows; the file index has.
  HANDLE file = CreateFileA(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return id;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(file, &info)) {
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.known = true;
  }
  CloseHandle(file);
#else
  struct stat info;
  if (stat(native.c_str(), &info) == 0) {
    id.volume = static_cast<unsigned long long>(info.st_dev);
    id.index = static_cast<unsigned long long>(info.st_ino);
    id.known = true;
  }
#endif
  return id;
}

/// Whether an output may be written at `native`: a missing file may, an
/// existing one only when it is writable.
bool may_replace(const std::string& native) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesA(native.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
#else
  struct stat info;
  if (stat(native.c_str(), &info) != 0) return true;
  return !S_ISDIR(info.st_mode) && access(native.c_str(), W_OK) == 0;
#endif
}

/// Creates a new empty file beside `target` for writing in text mode, with
/// the permissions a new file gets; sets `name` to its path.
std::FILE* create_temporary(const std::string& target, std::string& name) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target + ".";
    for (unsigned bits = static_cast<unsigned>(random()), i = 0; i < 8; ++i, bits >>= 4) {
      name += "0123456789abcdef"[bits & 0xF];
    }
    name += '~';
#ifdef _WIN32
    const int fd = _open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT,
                         _S_IREAD | _S_IWRITE);
#else
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
#endif
    if (fd >= 0) {
      // Text mode: on Windows each line ends with CR LF.
      std::FILE* file = fdopen(fd, "w");
      if (file == nullptr) {
#ifdef _WIN32
        _close(fd);
#else
        close(fd);
#endif
        std::remove(name.c_str());
      }
      return file;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

/// Puts `from` in the place of `to`, replacing it.
bool replace_file(const std::string& from, const std::string& to) {
#ifdef _WIN32
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

class file_reader : public source_reader {
 public:
  explicit file_reader(std::FILE* file) : file_(file) {}
  ~file_reader() override { std::fclose(file_); }
  file_reader(const file_reader&) = delete;
  file_reader& operator=(const file_reader&) = delete;

  long read(char* buffer, std::size_t max) override {
    std::size_t got = std::fread(buffer, 1, max, file_);
    if (got == 0 && std::ferror(file_)) return -1;
    return static_cast<long>(got);
  }

 private:
  std::FILE* file_;
};

class string_reader : public source_reader {
 public:
  explicit string_reader(std::string text) : text_(std::move(text)) {}
  long read(char* buffer, std::size_t max) override {
    std::size_t count = std::min(max, text_.size() - pos_);
    std::memcpy(buffer, text_.data() + pos_, count);
    pos_ += count;
    return static_cast<long>(count);
  }

 private:
  std::string text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::unique_ptr<source_reader> real_disk::open_source(const std::string& path,
                                                      std::string& reason) {
  std::string native = native_path(path);
  // Some systems open a directory for reading and fail only at the first
  // read; a directory is never a source, so refuse it here.
  if (is_directory(native)) {
    reason = std::strerror(EISDIR);
    return nullptr;
  }
  // Text mode: on Windows each CR LF is read as LF, and Ctrl-Z ends the file.
  std::FILE* file = std::fopen(native.c_str(), "r");
  if (file == nullptr) {
    reason = std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<file_reader>(file);
}

namespace {

/// A file written through a temporary beside its target (see output_stream).
class temporary_file_stream : public output_stream {
 public:
  temporary_file_stream(std::FILE* file, std::string temporary, std::string target)
      : file_(file), temporary_(std::move(temporary)), target_(std::move(target)) {}
  temporary_file_stream(const temporary_file_stream&) = delete;
  temporary_file_stream& operator=(const temporary_file_stream&) = delete;

  ~temporary_file_stream() override {
    if (file_ != nullptr) {
      std::fclose(file_);
      std::remove(temporary_.c_str());
    }
  }

  void write(std::string_view text) override {
    if (ok_ && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) ok_ = false;
  }

  bool commit() override {
    if (file_ == nullptr) return false;
    bool ok = ok_;
    ok = std::fflush(file_) == 0 && ok;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok) ok = replace_file(temporary_, target_);
    if (!ok) std::remove(temporary_.c_str());
    return ok;
  }

 private:
  std::FILE* file_;  ///< open until commit()
  std::string temporary_;
  std::string target_;
  bool ok_ = true;  ///< every write so far went through
};

/// Gathers the pieces for a disk that writes files whole.
class gathering_stream : public output_stream {
 public:
  gathering_stream(disk_interface& disk, std::string path)
      : disk_(disk), path_(std::move(path)) {}
  void write(std::string_view text) override { text_ += text; }
  bool commit() override { return disk_.write_file(path_, text_); }

 private:
  disk_interface& disk_;
  std::string path_;
  std::string text_;
};

}  // namespace

std::unique_ptr<output_stream> disk_interface::create_file(const std::string& path) {
  return std::make_unique<gathering_stream>(*this, path);
}

std::unique_ptr<output_stream> real_disk::create_file(const std::string& path) {
  std::string target = native_path(path);
  // An output that cannot be written in place is not replaced behind its
  // back either.
  if (!may_replace(target)) return nullptr;
#ifndef _WIN32
  // Writing through a link replaces what it points at, not the link.
  if (char* resolved = realpath(target.c_str(), nullptr)) {
    target = resolved;
    std::free(resolved);
  }
#endif
  // The text goes to a new file beside the target, which then takes the
  // target's place in one step: a failed write (disk full, quota, file-size
  // limit) leaves the old file as it was and no stray file behind.
  std::string temporary;
  std::FILE* file = create_temporary(target, temporary);
  if (file == nullptr) return nullptr;
  // Copies: the names are still needed when the stream cannot be made.
  try {
    return std::make_unique<temporary_file_stream>(file, temporary, target);
  } catch (...) {
    std::fclose(file);
    std::remove(temporary.c_str());
    throw;
  }
}

bool real_disk::write_file(const std::string& path, const std::string& text) {
  std::unique_ptr<output_stream> file = create_file(path);
  if (file == nullptr) return false;
  file->write(text);
  return file->commit();
}

void real_disk::remove_file(const std::string& path) {
  const std::string native = native_path(path);
  if (is_regular_file(native)) std::remove(native.c_str());
}

bool real_disk::same_file(const std::string& a, const std::string& b) {
  const file_identity first = identify(native_path(a));
  const file_identity second = identify(native_path(b));
  return first.known && second.known && first.volume == second.volume &&
         first.index == second.index;
}

std::string real_disk::working_directory() {
  // Both calls allocate a buffer of the length needed: no path is too long.
#ifdef _WIN32
  char* cwd = _getcwd(nullptr, 0);
#else
  char* cwd = getcwd(nullptr, 0);
#endif
  if (cwd == nullptr) return std::string();
  std::string result(cwd);
  std::free(cwd);
  return result;
}

std::unique_ptr<source_reader> memory_disk::open_source(const std::string& path,
                                                        std::string& reason) {
  auto found = files.find(key(path));
  if (found == files.end()) {
    reason = "No such file or directory";
    return nullptr;
  }
  return std::make_unique<string_reader>(found->second);
}

bool memory_disk::write_file(const std::string& path, const std::string& text) {
  std::string name = key(path);
  if (read_only.count(name)) return false;
  files[name] = text;
  return true;
}

void memory_disk::remove_file(const std::string& path) { files.erase(key(path)); }

bool real_disk::is_directory(const std::string& path) {
  return ::is_directory(native_path(path));
}

bool memory_disk::is_directory(const std::string& path) {
  const std::string name = key(path);
  if (directories.count(name) != 0) return true;
  const std::string prefix = name.empty() || name.back() == '/' ? name : name + "/";
  auto next = files.lower_bound(prefix);
  return next != files.end() && next->first.compare(0, prefix.size(), prefix) == 0;
}

bool memory_disk::same_file(const std::string& a, const std::string& b) {
  return key(a) == key(b) && files.count(key(a)) != 0;
}

std::string memory_disk::key(const std::string& path) {
  std::string result = path;
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  return result;
}

epoch_setting source_date_epoch() {
  epoch_setting setting;
  const char* text = std::getenv("SOURCE_DATE_EPOCH");
  if (text == nullptr) return setting;
  setting.text = text;
  setting.state = epoch_setting::invalid;
  constexpr long long last_second_of_9999 = 253402300799;
  long long seconds = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return setting;
    seconds = seconds * 10 + (*p - '0');
    if (seconds > last_second_of_9999) return setting;
  }
  if (*text == '\0') return setting;
  setting.state = epoch_setting::valid;
  setting.seconds = static_cast<std::time_t>(seconds);
  return setting;
}

std::string header_time() {
  static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::time_t now = std::time(nullptr);
  const epoch_setting epoch = source_date_epoch();
  const bool utc = epoch.state == epoch_setting::valid;
  if (utc) now = epoch.seconds;
  std::tm parts{};
#ifdef _WIN32
  if (utc ? gmtime_s(&parts, &now) : localtime_s(&parts, &now)) parts = std::tm{};
#else
  if ((utc ? gmtime_r(&now, &parts) : localtime_r(&now, &parts)) == nullptr) parts = std::tm{};
#endif
  char text[64];
  std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %d", days[parts.tm_wday % 7],
                months[parts.tm_mon % 12], parts.tm_mday, parts.tm_hour, parts.tm_min,
                parts.tm_sec, parts.tm_year + 1900);
  return text;
}
