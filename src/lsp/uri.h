// file:// URIs and the paths they stand for, in either platform's style,
// so that both are tested wherever the tests run.
#pragma once

#include <string>
#include <string_view>

namespace lsp {

enum class path_style { posix, windows };

/// The style of the platform the server runs on.
constexpr path_style native_style() {
#ifdef _WIN32
  return path_style::windows;
#else
  return path_style::posix;
#endif
}

/// The path of a file URI, percent-decoded: "file:///home/a%20b.asm" is
/// "/home/a b.asm"; "file:///c%3A/x/y.asm" is "c:\x\y.asm" in Windows
/// style, and a host names a UNC share there. Empty for anything that is
/// no usable file URI (another scheme, a host on POSIX, a NUL byte).
std::string uri_to_path(std::string_view uri, path_style style = native_style());

/// The file URI of an absolute path, with every byte outside the unreserved
/// set (and '/', and the colon of a drive letter) percent-encoded.
std::string path_to_uri(std::string_view path, path_style style = native_style());

/// A path with "." and "dir/.." steps and doubled separators taken out, and
/// in Windows style '\' throughout: one spelling per file for lookups.
std::string normalize_path(std::string_view path, path_style style = native_style());

/// Whether two normalised paths name one file: letter case counts on POSIX only.
bool same_path(std::string_view a, std::string_view b, path_style style = native_style());

/// A path as a map key: normalised, and lower case in Windows style.
std::string path_key(std::string_view path, path_style style = native_style());

/// True for a path that does not depend on a working directory.
bool is_absolute_path(std::string_view path, path_style style = native_style());

}  // namespace lsp
