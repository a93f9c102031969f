// The input-buffer functions of the generated scanner that the source
// stack drives: one buffer per open source.
#pragma once

#include <cstdio>

struct yy_buffer_state;

yy_buffer_state* yy_create_buffer(std::FILE* file, int size);
void yy_switch_to_buffer(yy_buffer_state* buffer);
void yy_delete_buffer(yy_buffer_state* buffer);

/// The line of the source being read (the generated scanner counts it).
extern int yylineno;
