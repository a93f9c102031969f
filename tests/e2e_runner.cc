// Runs one end-to-end case: writes its sources into a fresh directory, runs
// the assembler there and compares standard output, standard error, the exit
// status and the output files with what the case expects.
//
// A case file is a list of sections, each opened by a line "=== KIND ARGS":
//   === args ARG...            command-line arguments ("..." quotes blanks)
//   === file PATH [noeol] [crlf]  an input file; its lines follow ("crlf"
//                              writes them with CR LF line ends)
//   === dir PATH               an empty directory
//   === stdout [noeol] [crlf]  the exact standard output
//   === stderr [noeol] [crlf]  the exact standard error (unchecked when absent)
//   === status N               the exit status (0 when absent)
//   === out PATH [noeol] [crlf]  an output file and its exact content
//   === absent PATH            a file that must not exist afterwards
//   === kept PATH              a directory that must still exist afterwards
//   === platform NAME          run only on "posix" or "windows" (E2E_PLATFORM)
// Lines before the first section are comments. "noeol" drops the line break
// at the end of the section. With E2E_CRLF=1 the runner accepts CR LF line
// ends in everything the assembler produced (a Windows build). "crlf" on
// stdout, stderr or out expects CR LF line ends and compares the raw bytes,
// without that leniency.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct section {
  std::string kind;
  std::vector<std::string> words;
  std::string body;
  bool crlf = false;  ///< the body has CR LF line ends
};

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

std::vector<section> read_case(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  std::string text = all.str();
  std::vector<section> sections;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    std::size_t next = end == std::string::npos ? text.size() : end + 1;
    if (line.rfind("=== ", 0) == 0) {
      section s;
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
  for (section& s : sections) {
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

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

std::string strip_cr(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

/// Shows where two texts first differ, with both versions of that line.
void report_difference(const std::string& what, const std::string& want, const std::string& got) {
  std::size_t at = 0;
  while (at < want.size() && at < got.size() && want[at] == got[at]) ++at;
  std::size_t line = 1 + static_cast<std::size_t>(std::count(want.begin(), want.begin() + at, '\n'));
  std::cerr << what << " differs at byte " << at << " (line " << line << ")\n"
            << "--- expected ---\n" << want << "\n--- actual ---\n" << got << "\n---\n";
}

int run(const std::vector<std::string>& command, const fs::path& dir, const fs::path& out,
        const fs::path& err) {
  pid_t child = fork();
  if (child == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    if (!freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr)) _exit(126);
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: e2e_runner CASE COMMAND...\n";
    return 2;
  }
  std::vector<section> sections = read_case(argv[1]);
  std::vector<std::string> command(argv + 2, argv + argc);
  bool crlf = std::getenv("E2E_CRLF") != nullptr;
  const char* platform = std::getenv("E2E_PLATFORM");
  for (const section& s : sections) {
    if (s.kind == "platform" && !s.words.empty() &&
        s.words[0] != (platform != nullptr ? platform : "posix")) {
      std::cout << "skipped: " << s.words[0] << " only\n";
      return 77;
    }
  }

  std::string pattern = (fs::temp_directory_path() / "zr17_e2e_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 2;
  }
  fs::path scratch = pattern;
  fs::path work = scratch / "work";
  fs::create_directories(work);

  for (const section& s : sections) {
    if (s.kind == "args") {
      command.insert(command.end(), s.words.begin(), s.words.end());
    } else if (s.kind == "file" && !s.words.empty()) {
      fs::path path = work / s.words[0];
      fs::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary) << s.body;
    } else if (s.kind == "dir" && !s.words.empty()) {
      fs::create_directories(work / s.words[0]);
    }
  }

  int status = run(command, work, scratch / "stdout", scratch / "stderr");
  auto produced = [&](const section& s, std::string text) {
    return crlf && !s.crlf ? strip_cr(text) : text;
  };
  bool ok = true;
  int want_status = 0;
  for (const section& s : sections) {
    if (s.kind == "status" && !s.words.empty()) want_status = std::stoi(s.words[0]);
  }
  if (status != want_status) {
    std::cerr << "exit status " << status << ", expected " << want_status << "\n";
    ok = false;
  }
  for (const section& s : sections) {
    if (s.kind == "stdout" || s.kind == "stderr") {
      std::string got = produced(s, read_file(scratch / s.kind));
      if (got != s.body) {
        report_difference(s.kind, s.body, got);
        ok = false;
      }
    } else if (s.kind == "out" && !s.words.empty()) {
      fs::path path = work / s.words[0];
      if (!fs::exists(path)) {
        std::cerr << "missing output file " << s.words[0] << "\n";
        ok = false;
        continue;
      }
      std::string got = produced(s, read_file(path));
      if (got != s.body) {
        report_difference(s.words[0], s.body, got);
        ok = false;
      }
    } else if (s.kind == "absent" && !s.words.empty()) {
      if (fs::exists(work / s.words[0])) {
        std::cerr << "file " << s.words[0] << " should not exist\n";
        ok = false;
      }
    } else if (s.kind == "kept" && !s.words.empty()) {
      if (!fs::is_directory(work / s.words[0])) {
        std::cerr << "directory " << s.words[0] << " should still exist\n";
        ok = false;
      }
    }
  }
  if (!ok) {
    std::cerr << "stdout was:\n" << read_file(scratch / "stdout") << "stderr was:\n"
              << read_file(scratch / "stderr");
  }
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return ok ? 0 : 1;
}
