#include "driver/opcode_table.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

using S = operand_spec;
constexpr check_kind P = check_kind::P;
constexpr check_kind P2 = check_kind::P2;
constexpr check_kind P3 = check_kind::P3;
constexpr check_kind NO = check_kind::REFUSED;

constexpr S N = S::none;
constexpr S R = S::reg;
constexpr S V = S::number;
constexpr S L = S::label;

}  // namespace

// clang-format off
const opcode_info opcode_table[OPCODE_COUNT] = {
  {"abs",       "abs",       P,  {R, N, N}, {0, 0, 0},      2, 2},
  {"add",       "add",       P2, {R, N, N}, {0, ANY, 0},    1, 5},
  {"add48r",    "add48r",    NO, {N, N, N}, {0, 0, 0},      0, 0},
  {"add48x",    "add48x",    NO, {N, N, N}, {0, 0, 0},      0, 0},
  {"and",       "and",       P2, {R, N, N}, {0, ANY, 0},    2, 6},
  {"bitclr",    "bitclr",    P,  {R, V, N}, {0, 31, 0},     2, 2},
  {"bitinv",    "bitinv",    P,  {R, V, N}, {0, 31, 0},     2, 2},
  {"bitset",    "bitset",    P,  {R, V, N}, {0, 31, 0},     2, 2},
  {"bytedir",   "bytedir",   P,  {V, N, N}, {1, 0, 0},      1, 1},
  {"bytesel",   "bytesel",   P,  {V, N, N}, {7, 0, 0},      1, 1},
  {"clear",     "clear",     P,  {R, N, N}, {0, 0, 0},      1, 1},
  {"clkmode",   "clkmode",   P,  {V, N, N}, {1, 0, 0},      2, 2},
  {"clrC",      "clrc",      P,  {N, N, N}, {0, 0, 0},      1, 1},
  {"clrwdt",    "clrwdt",    P,  {N, N, N}, {0, 0, 0},      2, 2},
  {"compare",   "compare",   P2, {R, N, N}, {0, ANY, 0},    1, 5},
  {"compl",     "compl",     P,  {R, N, N}, {0, 0, 0},      2, 2},
  {"decr",      "decr",      P,  {R, N, N}, {0, 0, 0},      1, 1},
  {"decramadr", "decramadr", P,  {N, N, N}, {0, 0, 0},      1, 1},
  {"div",       "div",       P,  {R, R, N}, {0, 0, 0},      2, 2},
  {"divmod",    "divmod",    P,  {R, R, N}, {0, 0, 0},      2, 2},
  {"eor",       "eor",       P2, {R, N, N}, {0, ANY, 0},    2, 6},
  {"eorn",      "eorn",      P2, {R, N, N}, {0, ANY, 0},    2, 6},
  {"equal",     "equal",     P,  {V, N, N}, {ANY, 0, 0},    3, 3},
  {"equal",     "equal1",    P,  {V, N, N}, {255, 0, 0},    1, 1},
  {"getflag",   "getflag",   P,  {R, N, N}, {0, 0, 0},      1, 1},
  {"getramadr", "getramadr", P,  {N, N, N}, {0, 0, 0},      1, 1},
  {"revfwa",    "revfwa",    P,  {N, N, N}, {0, 0, 0},      2, 2},
  {"revfwu",    "revfwu",    P,  {N, N, N}, {0, 0, 0},      2, 2},
  {"goto",      "goto",      P,  {S::label_or_addr, N, N}, {65535, 0, 0}, 2, 3},
  {"gotoBitC",  "gotobitc",  P,  {R, V, L}, {0, 31, 0},     3, 3},
  {"gotoBitS",  "gotobits",  P,  {R, V, L}, {0, 31, 0},     3, 3},
  {"gotoCarC",  "gotocarc",  P,  {L, N, N}, {0, 0, 0},      2, 2},
  {"gotoCarS",  "gotocars",  P,  {L, N, N}, {0, 0, 0},      2, 2},
  {"gotoEQ",    "gotoeq",    P,  {L, N, N}, {0, 0, 0},      2, 2},
  {"gotoNE",    "gotone",    P,  {L, N, N}, {0, 0, 0},      2, 2},
  {"gotoNeg",   "gotoneg",   P,  {L, N, N}, {0, 0, 0},      2, 2},
  {"gotoOvrC",  "gotoovrc",  P,  {L, N, N}, {0, 0, 0},      2, 2},
  {"gotoOvrS",  "gotoovrs",  P,  {L, N, N}, {0, 0, 0},      2, 2},
  {"gotoPos",   "gotopos",   P,  {L, N, N}, {0, 0, 0},      2, 2},
  {"i2cclk",    "i2cclk",    P,  {N, N, N}, {0, 0, 0},      1, 1},
  {"i2creq",    "i2creq",    P,  {V, N, N}, {1, 0, 0},      1, 1},
  {"i2crw",     "i2crw",     P,  {V, N, N}, {1, 0, 0},      1, 1},
  {"incr",      "incr",      P,  {R, N, N}, {0, 0, 0},      1, 1},
  {"incramadr", "incramadr", P,  {N, N, N}, {0, 0, 0},      1, 1},
  {"invert",    "invert",    P,  {R, N, N}, {0, 0, 0},      2, 2},
  {"jsub",      "jsub",      P,  {S::label_or_addr, N, N}, {65535, 0, 0}, 3, 3},
  {"jsubret",   "jsubret",   P,  {N, N, N}, {0, 0, 0},      1, 1},
  {"mcten",     "mcten",     P,  {V, N, N}, {1, 0, 0},      2, 2},
  {"move",      "move",      P2, {R, N, N}, {0, ANY, 0},    1, 5},
  {"move48r",   "move48r",   NO, {N, N, N}, {0, 0, 0},      0, 0},
  {"move48x",   "move48x",   NO, {N, N, N}, {0, 0, 0},      0, 0},
  {"mult",      "mult",      P,  {R, R, N}, {0, 0, 0},      2, 2},
  {"nand",      "nand",      P2, {R, N, N}, {0, ANY, 0},    2, 6},
  {"nop",       "nop",       P,  {N, N, N}, {0, 0, 0},      1, 1},
  {"nor",       "nor",       P2, {R, N, N}, {0, ANY, 0},    2, 6},
  {"or",        "or",        P2, {R, N, N}, {0, ANY, 0},    2, 6},
  {"org",       "org",       P,  {V, N, N}, {65535, 0, 0},  0, 0},
  {"ramadr",    "ramadr",    P,  {V, N, N}, {511, 0, 0},    1, 2},
  {"ramadrext", "ramadrext", NO, {N, N, N}, {0, 0, 0},      0, 0},
  {"rotL",      "rotl",      P3, {R, N, N}, {0, 15, 0},     1, 2},
  {"rotR",      "rotr",      P3, {R, N, N}, {0, 15, 0},     1, 2},
  {"setC",      "setc",      P,  {N, N, N}, {0, 0, 0},      1, 1},
  {"shiftL",    "shiftl",    P3, {R, N, N}, {0, 15, 0},     1, 2},
  {"shiftR",    "shiftr",    P3, {R, N, N}, {0, 15, 0},     1, 2},
  {"sign",      "sign",      P,  {R, N, N}, {0, 0, 0},      2, 2},
  {"skip",      "skip",      P,  {V, N, N}, {3, 0, 0},      1, 1},
  {"skipBitC",  "skipbitc",  P,  {R, V, V}, {0, 31, 3},     2, 2},
  {"skipBitS",  "skipbits",  P,  {R, V, V}, {0, 31, 3},     2, 2},
  {"skipCarC",  "skipcarc",  P,  {V, N, N}, {3, 0, 0},      1, 1},
  {"skipCarS",  "skipcars",  P,  {V, N, N}, {3, 0, 0},      1, 1},
  {"skipEQ",    "skipeq",    P,  {V, N, N}, {3, 0, 0},      1, 1},
  {"skipNE",    "skipne",    P,  {V, N, N}, {3, 0, 0},      1, 1},
  {"skipNeg",   "skipneg",   P,  {V, N, N}, {3, 0, 0},      1, 1},
  {"skipOvrC",  "skipovrc",  P,  {V, N, N}, {3, 0, 0},      1, 1},
  {"skipOvrS",  "skipovrs",  P,  {V, N, N}, {3, 0, 0},      1, 1},
  {"skipPos",   "skippos",   P,  {V, N, N}, {3, 0, 0},      1, 1},
  {"stop",      "stop",      P,  {N, N, N}, {0, 0, 0},      1, 1},
  {"sub",       "sub",       P2, {R, N, N}, {0, ANY, 0},    1, 5},
  {"sub48r",    "sub48r",    NO, {N, N, N}, {0, 0, 0},      0, 0},
  {"sub48x",    "sub48x",    NO, {N, N, N}, {0, 0, 0},      0, 0},
  {"swap",      "swap",      P,  {R, R, N}, {0, 0, 0},      1, 1},
  {"swap48",    "swap48",    NO, {N, N, N}, {0, 0, 0},      0, 0},
};
// clang-format on

std::string get_opcode_name(int id) {
  if (id < 0 || id >= OPCODE_COUNT) return std::string();
  return opcode_table[id].mnemonic;
}

int find_opcode_keyword(std::string_view word) {
  // Longest keyword is nine characters; anything longer is an identifier.
  if (word.empty() || word.size() > 9) return -1;
  std::string lower(word);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (int id = 0; id < OPCODE_COUNT; ++id) {
    if (lower == opcode_table[id].keyword) return id;
  }
  return -1;
}
