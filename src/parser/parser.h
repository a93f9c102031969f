// The parser's interface to the driver.
#pragma once

int yyparse();
/// Clears the parser's counters of an earlier run.
void parser_reset();
