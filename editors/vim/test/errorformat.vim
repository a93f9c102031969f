" Runs the compiler's errorformat over the sample error lines of
" editors/test/error-lines.json with :cgetfile and compares every quickfix
" entry with what the sample expects; then runs :make with a stand-in
" assembler on a file whose path holds blanks. Writes the findings to
" $ZR17_RESULT and leaves with :cquit on any mismatch.
set nocompatible
let s:here = expand('<sfile>:p:h')
let &runtimepath = fnamemodify(s:here, ':h') . ',' . &runtimepath
let s:failures = []
let s:checked = 0

function! s:Expect(what, got, want, line) abort
  if a:got !=# a:want
    call add(s:failures, printf('%s: got %s, want %s in: %s', a:what, string(a:got), string(a:want), a:line))
  endif
endfunction

let s:types = {'e': 'error', 'E': 'error', 'w': 'warning', 'W': 'warning', 'n': 'note', 'N': 'note', '': ''}

try
  enew
  compiler zr17_asm
  let s:cases = json_decode(join(readfile(s:here . '/../../test/error-lines.json'), "\n"))
  let s:sample = tempname()
  call writefile(map(copy(s:cases), 'v:val.line'), s:sample)
  execute 'cgetfile' fnameescape(s:sample)
  let s:entries = getqflist()
  " Lines marked ignored leave no entry; all others leave one, in order.
  let s:kept = filter(copy(s:cases), '!get(v:val, "ignored", 0)')
  call s:Expect('number of entries', len(s:entries), len(s:kept), 'the sample')
  for s:i in range(min([len(s:entries), len(s:kept)]))
    let s:want = s:kept[s:i]
    let s:got = s:entries[s:i]
    let s:checked += 1
    if get(s:want, 'unmatched', 0)
      " Shown as plain text, not taken for a location.
      call s:Expect('valid', s:got.valid, 0, s:want.line)
      call s:Expect('text', s:got.text, s:want.line, s:want.line)
      continue
    endif
    call s:Expect('valid', s:got.valid, 1, s:want.line)
    call s:Expect('file', bufname(s:got.bufnr), s:want.file, s:want.line)
    call s:Expect('line', s:got.lnum, s:want.lnum, s:want.line)
    call s:Expect('column', s:got.col, s:want.col is v:null ? 0 : s:want.col, s:want.line)
    call s:Expect('type', get(s:types, s:got.type, s:got.type), s:want.severity, s:want.line)
    call s:Expect('text', s:got.text, s:want.text, s:want.line)
  endfor

  " :make quotes the program and the file, passes the arguments, and reads
  " both output streams.
  let s:dir = tempname() . '/my dir'
  call mkdir(s:dir, 'p')
  let s:program = s:dir . '/fake asm'
  call writefile(['#!/bin/sh', 'for a; do echo "$a Line 2 ERROR: argument"; done',
        \ 'echo "$2:3: Error: on stderr" >&2', 'exit 1'], s:program)
  call setfperm(s:program, 'rwx------')
  let g:zr17_asm_program = s:program
  let g:zr17_asm_args = '--diagnostics=gnu'
  execute 'edit' fnameescape(s:dir . '/prog 1.zr17')
  compiler zr17_asm
  call s:Expect('makeprg', &l:makeprg, shellescape(s:program) . ' --diagnostics=gnu %:S', 'the settings')
  silent make!
  let s:made = map(getqflist(), '[bufname(v:val.bufnr), v:val.lnum, v:val.type, v:val.text]')
  let s:source = bufname('%')
  call s:Expect(':make', s:made, [['--diagnostics=gnu', 2, 'E', 'argument'], [s:source, 2, 'E', 'argument'],
        \ [s:source, 3, 'E', 'on stderr']], 'the stand-in assembler')
  let s:checked += 1
catch
  call add(s:failures, 'error: ' . v:exception . ' at ' . v:throwpoint)
endtry

let s:report = s:failures + [printf('errorformat: %d entries checked, %d mismatches', s:checked, len(s:failures))]
call writefile(s:report, $ZR17_RESULT)
if empty(s:failures)
  qall!
endif
cquit!
