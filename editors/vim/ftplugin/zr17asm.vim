" Vim filetype plugin
" Language: ZR17 assembler (zr17_asm)

if exists('b:did_ftplugin')
  finish
endif
let b:did_ftplugin = 1

let s:cpo_save = &cpo
set cpo&vim

setlocal commentstring=;\ %s
setlocal comments=:;
setlocal formatoptions-=t formatoptions+=croql
" Include files for [i, gf and friends: the name between quotes or <>.
setlocal include=^\\s*#\\cinclude\\s*[\"<]\\zs[^\">]*
" :make assembles the current file unless another compiler was chosen.
if !exists('b:current_compiler')
  compiler zr17_asm
endif

let b:undo_ftplugin = 'setlocal commentstring< comments< formatoptions< include< makeprg< errorformat<'

let &cpo = s:cpo_save
unlet s:cpo_save
