" Loads the ZR17 syntax on a sample source and checks the highlight group
" under chosen words. Writes the findings to $ZR17_RESULT and leaves with
" :cquit on any mismatch.
set nocompatible
let s:here = expand('<sfile>:p:h')
let &runtimepath = fnamemodify(s:here, ':h') . ',' . &runtimepath
filetype plugin on
syntax on

" Each check: line of the sample, the text to look at (its first occurrence
" on the line), and the group expected on every character of it ('' for
" none).
let s:sample = [
      \ '; nop x 0x10 #include "a"',
      \ '<Comment> nop',
      \ '  move x, 5 #define INSIDE',
      \ 'tail <ENDCOMMENT> nop',
      \ '#include "defs.inc"',
      \ '  #INCLUDE <lib\my dir\io.inc> nop',
      \ '#include missing',
      \ '#define FAST',
      \ '	#IfDef FAST',
      \ 'nop #endif nop x',
      \ 'CONST Limit 0x1F | const half -0.5',
      \ 'main :  MOVE X, (Limit + 3) * 2 / 010 - 7',
      \ 'nop: | addx y1 nop1 add48 equal12 _add xy R',
      \ 'GOTO loop | gotoBitS y, 3, done | Equal1 | i2cClk',
      \ 'move x, 1-0.25 | add $ , 0X7fFF ; TODO',
      \ ]
let s:checks = [
      \ [1, '; nop x 0x10 #include "a"', 'zr17asmComment'],
      \ [2, '<Comment> nop', 'zr17asmBlockComment'],
      \ [3, 'move x, 5 #define INSIDE', 'zr17asmBlockComment'],
      \ [4, 'tail <ENDCOMMENT>', 'zr17asmBlockComment'],
      \ [4, 'nop', 'zr17asmMnemonic'],
      \ [5, '#include', 'zr17asmInclude'],
      \ [5, '"defs.inc"', 'zr17asmIncludeName'],
      \ [6, '#INCLUDE', 'zr17asmInclude'],
      \ [6, '<lib\my dir\io.inc>', 'zr17asmIncludeName'],
      \ [6, 'nop', 'zr17asmMnemonic'],
      \ [7, 'missing', 'zr17asmIncludeBad'],
      \ [8, '#define', 'zr17asmDefine'],
      \ [8, 'FAST', 'zr17asmMacroName'],
      \ [9, '#IfDef', 'zr17asmDefine'],
      \ [9, 'FAST', 'zr17asmMacroName'],
      \ [10, '#endif', 'zr17asmPreCondit'],
      \ [10, ' nop x', 'zr17asmIgnored'],
      \ [11, 'CONST', 'zr17asmConst'],
      \ [11, 'Limit', 'zr17asmConstName'],
      \ [11, '0x1F', 'zr17asmNumber'],
      \ [11, '|', 'zr17asmDelimiter'],
      \ [11, 'const', 'zr17asmConst'],
      \ [11, 'half', 'zr17asmConstName'],
      \ [11, '-0.5', 'zr17asmFloat'],
      \ [12, 'main', 'zr17asmLabel'],
      \ [12, ':', 'zr17asmDelimiter'],
      \ [12, 'MOVE', 'zr17asmMnemonic'],
      \ [12, 'X', 'zr17asmRegister'],
      \ [12, '(', 'zr17asmDelimiter'],
      \ [12, 'Limit', ''],
      \ [12, '+', 'zr17asmOperator'],
      \ [12, '3', 'zr17asmNumber'],
      \ [12, '*', 'zr17asmOperator'],
      \ [12, '/', 'zr17asmOperator'],
      \ [12, '010', 'zr17asmNumber'],
      \ [12, '-', 'zr17asmOperator'],
      \ [13, 'nop', 'zr17asmMnemonic'],
      \ [13, 'addx', ''],
      \ [13, 'y1', ''],
      \ [13, 'nop1', ''],
      \ [13, 'add48', ''],
      \ [13, 'equal12', ''],
      \ [13, '_add', ''],
      \ [13, 'xy', ''],
      \ [13, 'R', 'zr17asmRegister'],
      \ [14, 'GOTO', 'zr17asmJump'],
      \ [14, 'loop', ''],
      \ [14, 'gotoBitS', 'zr17asmJump'],
      \ [14, 'y', 'zr17asmRegister'],
      \ [14, 'Equal1', 'zr17asmMnemonic'],
      \ [14, 'i2cClk', 'zr17asmMnemonic'],
      \ [15, '1', 'zr17asmNumber'],
      \ [15, '-0.25', 'zr17asmFloat'],
      \ [15, '$', 'zr17asmError'],
      \ [15, '0X7fFF', 'zr17asmNumber'],
      \ [15, 'TODO', 'zr17asmTodo'],
      \ ]

let s:failures = []
try
  enew
  call setline(1, s:sample)
  setfiletype zr17asm
  if &l:commentstring !=# '; %s'
    call add(s:failures, 'commentstring: ' . &l:commentstring)
  endif
  if get(b:, 'current_compiler', '') !=# 'zr17_asm'
    call add(s:failures, 'the filetype plugin did not choose the zr17_asm compiler')
  endif
  for [s:lnum, s:text, s:group] in s:checks
    let s:col = stridx(getline(s:lnum), s:text)
    if s:col < 0
      call add(s:failures, printf('line %d: no %s', s:lnum, string(s:text)))
      continue
    endif
    for s:c in range(s:col + 1, s:col + len(s:text))
      let s:got = synIDattr(synID(s:lnum, s:c, 1), 'name')
      if s:got !=# s:group
        call add(s:failures, printf('line %d column %d of %s: got %s, want %s', s:lnum, s:c, string(s:text), string(s:got), string(s:group)))
        break
      endif
    endfor
  endfor
catch
  call add(s:failures, 'error: ' . v:exception . ' at ' . v:throwpoint)
endtry

call writefile(s:failures + [printf('syntax: %d checks, %d mismatches', len(s:checks), len(s:failures))], $ZR17_RESULT)
if empty(s:failures)
  qall!
endif
cquit!
