// End-to-end cases: one file holds the sources, the command line and the
// exact stdout, stderr, exit status and output files of a run.
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
//   === platform NAME          run only on "posix" or "windows"
//   === env NAME=VALUE...      environment settings (NAME alone unsets it);
//                              SOURCE_DATE_EPOCH is 1700000000 unless set here
// Lines before the first section are comments. "noeol" drops the line break
// at the end of the section; "crlf" gives the body CR LF line ends.
#pragma once

#include <string>
#include <vector>

struct case_section {
  std::string kind;
  std::vector<std::string> words;
  std::string body;
  bool crlf = false;  ///< the body has CR LF line ends
};

/// The sections of a case file's text, in order.
std::vector<case_section> parse_case(const std::string& text);

/// Words separated by blanks; double quotes group blanks into a word.
std::vector<std::string> split_words(const std::string& text);
