// The parser's interface to the driver.
#pragma once

/// Parses the whole input: 0 when it was accepted (errors in the lines may
/// still have been counted), 1 when it gave up, 2 when its stacks ran out.
int yyparse();
/// Clears the parser's counters and stacks of an earlier run.
void parser_reset();
