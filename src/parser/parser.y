/* The statement grammar: instructions with their operands, jump labels,
   constant declarations and constant expressions, with rules for the
   usual mistakes and recovery at the next line break. */

%define parse.error verbose
%define api.pure full
%locations
%parse-param { statement_builder& build } { scanner& lexer }
%lex-param { scanner& lexer }

%code requires {
#include <cstdint>

struct opcode_node;
struct jumplabel_node;
class statement_builder;
class scanner;
}

%code provides {
/// Reports a syntax error at the lookahead token's line.
void yyerror(const YYLTYPE* location, statement_builder& build, scanner& lexer,
             const char* message);
/// Reports an error at the first line of `location`.
void lyyerror(statement_builder& build, const YYLTYPE& location, const char* format, ...);
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

#include "core/appendf.h"
#include "core/program.h"
#include "parser/actions.h"
#include "parser/const_expr.h"
#include "parser/parser.h"
#include "scanner/lexer.h"

/// The stacks start with 200 entries and double up to 150000.
#define YYINITDEPTH 200
#define YYMAXDEPTH 150000

/// Grown stacks belong to the parse, so that a run ended by an exception
/// inside it gives them back as it unwinds.
#define YYMALLOC(size) build.stack_alloc(size)
#define YYFREE(block) build.stack_free(block)

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

/* The scanner passes a run of line ends as one NEWLINE while the parse has
   counted no error (scanner/lexer.re): a NEWLINE that follows a NEWLINE must
   stay without any effect here, and without a location anyone reads. */
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
    OPCODE { $$ = build.build_statement(@1.first_line, $1); }
  | OPCODE par { $$ = build.build_statement(@1.first_line, $1, register_operand($2)); }
  | OPCODE expr { $$ = build.build_statement(@1.first_line, $1, number_operand($2)); }
  | OPCODE par ',' par {
      $$ = build.build_statement(@1.first_line, $1, register_operand($2), register_operand($4));
    }
  | OPCODE expr ',' expr {
      $$ = build.build_statement(@1.first_line, $1, number_operand($2), number_operand($4));
    }
  | OPCODE par ',' expr {
      $$ = build.build_statement(@1.first_line, $1, register_operand($2), number_operand($4));
    }
  | OPCODE identifier { $$ = build.build_statement(@1.first_line, $1, label_operand($2)); }
  | OPCODE par ',' expr ',' identifier {
      $$ = build.build_statement(@1.first_line, $1, register_operand($2), number_operand($4),
                           label_operand($6));
    }
  | OPCODE par ',' expr ',' expr {
      $$ = build.build_statement(@1.first_line, $1, register_operand($2), number_operand($4),
                           number_operand($6));
    }
  | OPCODE par par { lyyerror(build, @3, "missing comma"); YYERROR; }
  | OPCODE par expr { lyyerror(build, @3, "missing comma"); YYERROR; }
  | OPCODE expr expr { lyyerror(build, @3, "missing comma"); YYERROR; }
  | OPCODE par ',' expr identifier { lyyerror(build, @5, "missing comma"); YYERROR; }
  | OPCODE par ',' expr expr { lyyerror(build, @5, "missing comma"); YYERROR; }
  | OPCODE ',' { lyyerror(build, @2, "misplaced comma"); YYERROR; }
  | OPCODE par ',' { lyyerror(build, @3, "misplaced comma"); YYERROR; }
  | OPCODE expr ',' { lyyerror(build, @3, "misplaced comma"); YYERROR; }
  | OPCODE par ',' par ',' { lyyerror(build, @5, "misplaced comma"); YYERROR; }
  | OPCODE expr ',' expr ',' { lyyerror(build, @5, "misplaced comma"); YYERROR; }
  | OPCODE par ',' expr ',' { lyyerror(build, @5, "misplaced comma"); YYERROR; }
  | OPCODE identifier ',' { lyyerror(build, @3, "misplaced comma"); YYERROR; }
  | OPCODE par ',' expr ',' identifier ',' { lyyerror(build, @7, "misplaced comma"); YYERROR; }
  | OPCODE par ',' expr ',' expr ',' { lyyerror(build, @7, "misplaced comma"); YYERROR; }
  ;

par:
    ACCU_X { $$ = 0; }
  | ACCU_Y { $$ = 1; }
  | ACCU_Z { $$ = 2; }
  | ACCU_R { $$ = 3; }
  ;

jumplabel:
    identifier ':' {
      $$ = build.declare_jumplabel($1, @1.first_line);
      if ($$ == nullptr) YYERROR;
    }
  | identifier {
      lyyerror(build, @1, "unknown opcode '%s' or missing ':' after jump label", $1);
      YYERROR;
    }
  | jumplabel NEWLINE { $$ = $1; }
  | jumplabel identifier ':' {
      lyyerror(build, @2, "double jump label not supported, please use only one jump label per opcode");
      YYERROR;
    }
  ;

constant:
    CONST identifier expr { build.declare_constant($2, @2.first_line, $3); }
  | CONST CINT { build.report_redeclared_constant(@2.first_line); YYERROR; }
  | CONST INT {
      lyyerror(build, @2, "CONST declaration must begin with a character from A to Z");
      YYERROR;
    }
  | CONST identifier {
      lyyerror(build, @2, "CONST declaration '%s' has no value", $2);
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
          lyyerror(build, @3, "division by zero in constant expression");
          YYERROR;
        case division_status::overflow:
          lyyerror(build, @3, "division overflow in constant expression");
          YYERROR;
      }
    }
  | '(' expr ')' { $$ = $2; }
  ;

identifier:
    IDENTIFIER { $$ = $1; }
  ;

%%

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

void yyerror(const YYLTYPE* location, statement_builder& build, scanner&,
             const char* message) {
  build.run.diag.report_text(message_id::syntax_error, build.run.current_file,
                             location->first_line, location->first_column, message);
}

void lyyerror(statement_builder& build, const YYLTYPE& location, const char* format, ...) {
  std::string text;
  std::va_list args;
  va_start(args, format);
  vappendf(text, format, args);
  va_end(args);
  build.run.diag.report_text(message_id::grammar_error, build.run.current_file,
                             location.first_line, location.first_column, std::move(text));
}

