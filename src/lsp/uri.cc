#include "lsp/uri.h"

#include <vector>

namespace lsp {

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool is_unreserved(char c) {
  return is_letter(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
}

/// Percent-decodes; false on a broken escape or a NUL byte (no path holds one).
bool decode(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size()) return false;
      const int high = hex_digit(text[i + 1]);
      const int low = hex_digit(text[i + 2]);
      if (high < 0 || low < 0) return false;
      c = static_cast<char>(high * 16 + low);
      i += 2;
    }
    if (c == '\0') return false;
    out += c;
  }
  return true;
}

bool has_drive(std::string_view path) {
  return path.size() >= 2 && is_letter(path[0]) && path[1] == ':';
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

std::string uri_to_path(std::string_view uri, path_style style) {
  constexpr std::string_view scheme = "file://";
  if (uri.size() < scheme.size()) return {};
  for (std::size_t i = 0; i < scheme.size(); ++i) {
    if (lower(uri[i]) != scheme[i]) return {};
  }
  uri.remove_prefix(scheme.size());
  // A query or fragment is no part of a file's name.
  uri = uri.substr(0, uri.find_first_of("?#"));
  const std::size_t slash = uri.find('/');
  std::string host;
  if (!decode(uri.substr(0, slash), host)) return {};
  std::string path;
  if (slash == std::string_view::npos || !decode(uri.substr(slash), path)) return {};
  if (host == "localhost") host.clear();
  if (style == path_style::posix) {
    if (!host.empty()) return {};
    return path;
  }
  if (!host.empty()) {
    path = "//" + host + path;
  } else if (path.size() >= 3 && path[0] == '/' && has_drive(std::string_view(path).substr(1))) {
    path.erase(0, 1);
  }
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string path_to_uri(std::string_view path, path_style style) {
  std::string native(path);
  std::string uri = "file://";
  if (style == path_style::windows) {
    for (char& c : native) {
      if (c == '\\') c = '/';
    }
    if (native.size() >= 2 && native[0] == '/' && native[1] == '/') {
      // A UNC name: the server becomes the URI's host.
      const std::size_t end = native.find('/', 2);
      uri += native.substr(2, end == std::string::npos ? std::string::npos : end - 2);
      native = end == std::string::npos ? "/" : native.substr(end);
    } else if (has_drive(native)) {
      uri += '/';
      uri += native.substr(0, 2);
      native.erase(0, 2);
    }
  }
  static constexpr char digits[] = "0123456789ABCDEF";
  for (char c : native) {
    if (is_unreserved(c) || c == '/') {
      uri += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      uri += '%';
      uri += digits[byte >> 4];
      uri += digits[byte & 15];
    }
  }
  return uri;
}

std::string normalize_path(std::string_view path, path_style style) {
  const bool windows = style == path_style::windows;
  const auto separator = [windows](char c) { return c == '/' || (windows && c == '\\'); };
  std::string root;
  std::size_t i = 0;
  if (windows && path.size() >= 2 && separator(path[0]) && separator(path[1])) {
    root = "\\\\";  // UNC: the server and share stay as written
    i = 2;
  } else {
    if (windows && has_drive(path)) {
      root = path.substr(0, 2);
      i = 2;
    }
    if (i < path.size() && separator(path[i])) {
      root += windows ? '\\' : '/';
      ++i;
    }
  }
  const bool rooted = !root.empty() && (root.back() == '/' || root.back() == '\\');
  std::vector<std::string_view> parts;
  while (i <= path.size()) {
    std::size_t end = i;
    while (end < path.size() && !separator(path[end])) ++end;
    const std::string_view part = path.substr(i, end - i);
    if (part.empty() || part == ".") {
      // nothing
    } else if (part == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else if (part == ".." && rooted) {
      // Above the root is the root.
    } else {
      parts.push_back(part);
    }
    i = end + 1;
  }
  std::string result = root;
  for (std::size_t n = 0; n < parts.size(); ++n) {
    if (n > 0) result += windows ? '\\' : '/';
    result += parts[n];
  }
  if (result.empty()) result = ".";
  return result;
}

std::string path_key(std::string_view path, path_style style) {
  std::string key = normalize_path(path, style);
  if (style == path_style::windows) {
    for (char& c : key) c = lower(c);
  }
  return key;
}

bool same_path(std::string_view a, std::string_view b, path_style style) {
  return path_key(a, style) == path_key(b, style);
}

bool is_absolute_path(std::string_view path, path_style style) {
  if (style == path_style::posix) return !path.empty() && path[0] == '/';
  if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
      (path[1] == '\\' || path[1] == '/')) {
    return true;
  }
  return path.size() >= 3 && has_drive(path) && (path[2] == '\\' || path[2] == '/');
}

}  // namespace lsp
