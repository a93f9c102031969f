" Vim compiler file
" Compiler: zr17_asm, the ZR17 assembler
"
" :make assembles the current file. Options:
"   g:zr17_asm_program  the assembler (default "zr17_asm")
"   g:zr17_asm_args     arguments before the source, e.g. "--diagnostics=gnu -I lib"
" The errorformat reads the classic error lines and the --diagnostics=gnu form.

if exists('current_compiler')
  finish
endif
let current_compiler = 'zr17_asm'

if exists(':CompilerSet') != 2
  command -nargs=* CompilerSet setlocal <args>
endif

let s:cpo_save = &cpo
set cpo&vim

let s:program = get(g:, 'zr17_asm_program', 'zr17_asm')
if s:program !~# '^[-A-Za-z0-9_./\\:]\+$'
  let s:program = shellescape(s:program)
endif
let s:makeprg = join(filter([s:program, get(g:, 'zr17_asm_args', ''), '%:S'], 'v:val !=# ""'))
execute 'CompilerSet makeprg=' . escape(s:makeprg, ' \|"')

" File names may hold blanks, colons and backslashes: %f stops only where the
" rest of the pattern matches. The GNU forms come first: their start is the
" stricter one, while a classic line's text could quote anything.
let s:efm = [
      \ '%f:%l:%c: %trror: %m',
      \ '%f:%l:%c: %tarning: %m',
      \ '%f:%l:%c: %tote: %m',
      \ '%f:%l: %trror: %m',
      \ '%f:%l: %tarning: %m',
      \ '%f:%l: %tote: %m',
      \ '%f Line %l %tRROR: %m',
      \ '%f Line %l  %tRROR: %m',
      \ '%f  Line:%l  %tRROR: %m',
      \ '%f:%l: Fatal %trror: %m',
      \ '%W%f:%l: %\%%(Unterminated comment%\)%\@=%m',
      \ '%E%f:%l %\%%(bad include line%\)%\@=%m',
      \ '%-G--- %.%#',
      \ '%-GINFO: %.%#',
      \ '%-GInfo: %.%#',
      \ ]
execute 'CompilerSet errorformat=' . escape(join(s:efm, ','), ' \|"')
unlet s:efm s:makeprg s:program

let &cpo = s:cpo_save
unlet s:cpo_save
