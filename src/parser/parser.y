/* The statement grammar: instructions with their operands, jump labels,
   constant declarations and constant expressions, with rules for the
   usual mistakes and recovery at the next line break. */

%define parse.error verbose
%locations

%code requires {
#include <cstdint>

struct opcode_node;
struct jumplabel_node;
}

%code provides {
/// Reports a syntax error at the lookahead token's line.
void yyerror(const char* message);
/// Reports an error at the first line of `location`.
void lyyerror(const YYLTYPE& location, const char* format, ...);
}

%{
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <unordered_set>

#include "driver/model.h"
#include "driver/run_state.h"
#include "parser/actions.h"
#include "parser/const_expr.h"
#include "parser/diagnostics.h"
#include "parser/parser.h"
#include "scanner/scanner.h"

/// The stacks start with 200 entries and double up to 150000.
#define YYINITDEPTH 200
#define YYMAXDEPTH 150000

/// Grown stacks are tracked, so that a run ended by an exception inside the
/// parse gives them back at the next reset.
#define YYMALLOC parser_stack_alloc
#define YYFREE parser_stack_free
static void* parser_stack_alloc(std::size_t size);
static void parser_stack_free(void* block);

/// Messages call the end of input and unknown tokens "$end" and "$undefined".
#define yytnamerr message_token_name
static std::ptrdiff_t message_token_name(char* result, const char* name);
%}

%union {
  std::int32_t num;
  char* text;
  opcode_node* statement;
  jumplabel_node* label;
}

%token CONST
%token <num> OPCODE
%token USREPR
%token ACCU_X ACCU_Y ACCU_Z ACCU_R
%token <num> INT CINT
%token FLOATNUMBER
%token <text> IDENTIFIER
%token NEWLINE

%left '-' '+'
%left '*' '/'

%type <statement> opcode
%type <num> par expr
%type <label> jumplabel
%type <text> identifier

%%

start:
    line
  | start line
  ;

line:
    constant NEWLINE
  | opcode NEWLINE
  | jumplabel opcode NEWLINE {
      if ($1 != nullptr && $2 != nullptr) {
        $2->label = $1;
        $1->statement = $2;
      }
    }
  | NEWLINE
  | error NEWLINE
  ;

opcode:
    OPCODE { $$ = build_statement(@1.first_line, $1); }
  | OPCODE par { $$ = build_statement(@1.first_line, $1, register_operand($2)); }
  | OPCODE expr { $$ = build_statement(@1.first_line, $1, number_operand($2)); }
  | OPCODE par ',' par {
      $$ = build_statement(@1.first_line, $1, register_operand($2), register_operand($4));
    }
  | OPCODE expr ',' expr {
      $$ = build_statement(@1.first_line, $1, number_operand($2), number_operand($4));
    }
  | OPCODE par ',' expr {
      $$ = build_statement(@1.first_line, $1, register_operand($2), number_operand($4));
    }
  | OPCODE identifier { $$ = build_statement(@1.first_line, $1, label_operand($2)); }
  | OPCODE par ',' expr ',' identifier {
      $$ = build_statement(@1.first_line, $1, register_operand($2), number_operand($4),
                           label_operand($6));
    }
  | OPCODE par ',' expr ',' expr {
      $$ = build_statement(@1.first_line, $1, register_operand($2), number_operand($4),
                           number_operand($6));
    }
  | OPCODE par par { lyyerror(@3, "missing comma"); YYERROR; }
  | OPCODE par expr { lyyerror(@3, "missing comma"); YYERROR; }
  | OPCODE expr expr { lyyerror(@3, "missing comma"); YYERROR; }
  | OPCODE par ',' expr identifier { lyyerror(@5, "missing comma"); YYERROR; }
  | OPCODE par ',' expr expr { lyyerror(@5, "missing comma"); YYERROR; }
  | OPCODE ',' { lyyerror(@2, "misplaced comma"); YYERROR; }
  | OPCODE par ',' { lyyerror(@3, "misplaced comma"); YYERROR; }
  | OPCODE expr ',' { lyyerror(@3, "misplaced comma"); YYERROR; }
  | OPCODE par ',' par ',' { lyyerror(@5, "misplaced comma"); YYERROR; }
  | OPCODE expr ',' expr ',' { lyyerror(@5, "misplaced comma"); YYERROR; }
  | OPCODE par ',' expr ',' { lyyerror(@5, "misplaced comma"); YYERROR; }
  | OPCODE identifier ',' { lyyerror(@3, "misplaced comma"); YYERROR; }
  | OPCODE par ',' expr ',' identifier ',' { lyyerror(@7, "misplaced comma"); YYERROR; }
  | OPCODE par ',' expr ',' expr ',' { lyyerror(@7, "misplaced comma"); YYERROR; }
  ;

par:
    ACCU_X { $$ = 0; }
  | ACCU_Y { $$ = 1; }
  | ACCU_Z { $$ = 2; }
  | ACCU_R { $$ = 3; }
  ;

jumplabel:
    identifier ':' {
      $$ = declare_jumplabel($1, @1.first_line);
      if ($$ == nullptr) YYERROR;
    }
  | identifier {
      lyyerror(@1, "unknown opcode '%s' or missing ':' after jump label", $1);
      YYERROR;
    }
  | jumplabel NEWLINE { $$ = $1; }
  | jumplabel identifier ':' {
      lyyerror(@2, "double jump label not supported, please use only one jump label per opcode");
      YYERROR;
    }
  ;

constant:
    CONST identifier expr { declare_constant($2, @2.first_line, $3); }
  | CONST CINT { report_redeclared_constant(@2.first_line); YYERROR; }
  | CONST INT {
      lyyerror(@2, "CONST declaration must begin with a character from A to Z");
      YYERROR;
    }
  | CONST identifier {
      lyyerror(@2, "CONST declaration '%s' has no value", $2);
      YYERROR;
    }
  ;

expr:
    INT { $$ = $1; }
  | CINT { $$ = $1; }
  | expr '+' expr { $$ = wrapping_add($1, $3); }
  | expr '-' expr { $$ = wrapping_sub($1, $3); }
  | expr '*' expr { $$ = wrapping_mul($1, $3); }
  | expr '/' expr {
      switch (divide($1, $3, $$)) {
        case division_status::ok:
          break;
        case division_status::by_zero:
          lyyerror(@3, "division by zero in constant expression");
          YYERROR;
        case division_status::overflow:
          lyyerror(@3, "division overflow in constant expression");
          YYERROR;
      }
    }
  | '(' expr ')' { $$ = $2; }
  ;

identifier:
    IDENTIFIER { $$ = $1; }
  ;

%%

namespace {

/// Stack blocks the parser holds at the moment.
std::unordered_set<void*> stack_blocks;

}  // namespace

static void* parser_stack_alloc(std::size_t size) {
  void* block = std::malloc(size);
  if (block == nullptr) return nullptr;
  try {
    stack_blocks.insert(block);
  } catch (const std::bad_alloc&) {
    std::free(block);
    return nullptr;
  }
  return block;
}

static void parser_stack_free(void* block) {
  stack_blocks.erase(block);
  std::free(block);
}

static std::ptrdiff_t message_token_name(char* result, const char* name) {
  std::string_view shown = name;
  if (shown == "\"end of file\"") {
    shown = "$end";
  } else if (shown == "\"invalid token\"") {
    shown = "$undefined";
  } else if (shown.size() >= 2 && shown.front() == '"' && shown.back() == '"') {
    shown = shown.substr(1, shown.size() - 2);
  }
  if (result != nullptr) {
    std::memcpy(result, shown.data(), shown.size());
    result[shown.size()] = '\0';
  }
  return static_cast<std::ptrdiff_t>(shown.size());
}

void yyerror(const char* message) {
  if (yylloc.first_line != 0) {
    std::printf("%s Line %d ERROR: %s\n", curfilename, yylloc.first_line, message);
  }
  ++err_cnt;
}

void lyyerror(const YYLTYPE& location, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  vreport_error(location.first_line, format, args);
  va_end(args);
}

void parser_reset() {
  for (void* block : stack_blocks) std::free(block);
  stack_blocks.clear();
  yylloc = YYLTYPE{1, 1, 1, 1};
  yylval = YYSTYPE{};
  yynerrs = 0;
  actions_reset();
}
