#include "platform/disk.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
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

bool real_disk::write_file(const std::string& path, const std::string& text) {
  // Text mode: on Windows each line ends with CR LF.
  std::FILE* file = std::fopen(native_path(path).c_str(), "w");
  if (file == nullptr) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = std::fclose(file) == 0 && ok;
  return ok;
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

std::string header_time() {
  static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::time_t now = std::time(nullptr);
  bool utc = false;
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
    char* end = nullptr;
    errno = 0;
    long long seconds = std::strtoll(epoch, &end, 10);
    if (*epoch != '\0' && *end == '\0' && errno == 0) {
      now = static_cast<std::time_t>(seconds);
      utc = true;
    }
  }
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
