" Reads each line of $ZR17_LINES alone through the zr17_asm errorformat and
" writes, line for line, what the quickfix list took from it as JSON to
" $ZR17_RESULT: [valid, file, line, type] or null when the line was dropped.
set nocompatible
let &runtimepath = expand('<sfile>:p:h:h') . '/vim,' . &runtimepath
enew
compiler zr17_asm
" :cgetexpr takes the global value; :make and :cgetfile the buffer's.
let &g:errorformat = &l:errorformat
let s:out = []
for s:line in readfile($ZR17_LINES)
  cgetexpr [s:line]
  let s:qf = getqflist()
  call add(s:out, empty(s:qf) ? v:null : [s:qf[0].valid, bufname(s:qf[0].bufnr), s:qf[0].lnum, s:qf[0].type])
endfor
call writefile([json_encode(s:out)], $ZR17_RESULT)
qall!
