// The parser's interface to the driver.
#pragma once

class statement_builder;
class scanner;

/// Parses the whole input: 0 when it was accepted (errors in the lines may
/// still have been counted), 1 when it gave up, 2 when its stacks ran out.
int yyparse(statement_builder& build, scanner& lexer);
