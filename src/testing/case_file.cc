#include "testing/case_file.h"

std::vector<std::string> split_words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (c == ' ' && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  return words;
}

std::vector<case_section> parse_case(const std::string& text) {
  std::vector<case_section> sections;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    std::size_t next = end == std::string::npos ? text.size() : end + 1;
    if (line.rfind("=== ", 0) == 0) {
      case_section s;
      s.words = split_words(line.substr(4));
      if (!s.words.empty()) {
        s.kind = s.words.front();
        s.words.erase(s.words.begin());
      }
      sections.push_back(s);
    } else if (!sections.empty()) {
      sections.back().body += text.substr(pos, next - pos);
    }
    pos = next;
  }
  for (case_section& s : sections) {
    bool noeol = false, crlf = false;
    while (!s.words.empty() && (s.words.back() == "noeol" || s.words.back() == "crlf")) {
      (s.words.back() == "noeol" ? noeol : crlf) = true;
      s.words.pop_back();
    }
    if (noeol && !s.body.empty() && s.body.back() == '\n') s.body.pop_back();
    s.crlf = crlf;
    if (crlf) {
      std::string converted;
      for (char c : s.body) {
        if (c == '\n') converted += '\r';
        converted += c;
      }
      s.body = converted;
    }
  }
  return sections;
}
