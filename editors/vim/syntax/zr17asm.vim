" Vim syntax file
" Language: ZR17 assembler (zr17_asm)
" Follows the assembler's scanner: keywords in any letter case and as whole
" words only, #include/#define/#ifdef at line start, #else/#endif anywhere.

if exists('b:current_syntax')
  finish
endif

let s:cpo_save = &cpo
set cpo&vim

syntax case ignore
" Names are letters, digits and "_": "addx" or "nop1" is no mnemonic.
syntax iskeyword 48-57,65-90,95,97-122

" Anything the scanner does not know; defined first, so every other item wins.
syntax match zr17asmError /[^ \t;:,()|*/+\-0-9A-Za-z_]/

syntax keyword zr17asmMnemonic abs add add48r add48x and bitclr bitinv bitset bytedir bytesel
syntax keyword zr17asmMnemonic clear clkmode clrc clrwdt compare compl decr decramadr div divmod
syntax keyword zr17asmMnemonic eor eorn equal equal1 getflag getramadr revfwa revfwu i2cclk i2creq
syntax keyword zr17asmMnemonic i2crw incr incramadr invert mcten move move48r move48x mult nand
syntax keyword zr17asmMnemonic nop nor or org ramadr ramadrext rotl rotr setc shiftl shiftr sign
syntax keyword zr17asmMnemonic stop sub sub48r sub48x swap swap48
syntax keyword zr17asmJump goto gotobitc gotobits gotocarc gotocars gotoeq gotone gotoneg gotoovrc
syntax keyword zr17asmJump gotoovrs gotopos jsub jsubret skip skipbitc skipbits skipcarc skipcars
syntax keyword zr17asmJump skipeq skipne skipneg skipovrc skipovrs skippos
syntax keyword zr17asmRegister x y z r

syntax keyword zr17asmConst const nextgroup=zr17asmConstName skipwhite
syntax match zr17asmConstName /\h\w*/ contained

" A name before a colon declares a jump label (a keyword there stays a keyword).
syntax match zr17asmLabel /\h\w*\ze\s*:/

syntax match zr17asmOperator /[-+*/]/
syntax match zr17asmDelimiter /[,():|]/
" Numbers never start inside a name; a fraction takes its minus sign.
syntax match zr17asmNumber /\w\@<!\d\+/
syntax match zr17asmNumber /\w\@<!0x\x\+/
syntax match zr17asmFloat /-\=\w\@<!\d\+\.\d\+/

syntax match zr17asmDefine /^\s*#\%(define\|ifdef\)/ nextgroup=zr17asmMacroName skipwhite
syntax match zr17asmMacroName /\w\+/ contained
" The assembler ignores whatever follows #else or #endif on its line.
syntax match zr17asmPreCondit /#\%(else\|endif\)/ nextgroup=zr17asmIgnored
syntax match zr17asmIgnored /.*/ contained
syntax match zr17asmInclude /^\s*#include/ nextgroup=zr17asmIncludeName,zr17asmIncludeBad skipwhite
syntax match zr17asmIncludeName /"[^"]*"\|<[^>]*>/ contained
syntax match zr17asmIncludeBad /[^"< \t].*\|$/ contained

syntax keyword zr17asmTodo contained TODO FIXME XXX NOTE
syntax match zr17asmComment /;.*/ contains=zr17asmTodo,@Spell
syntax region zr17asmBlockComment start=/<comment>/ end=/<endcomment>/ contains=zr17asmTodo,@Spell

highlight default link zr17asmError Error
highlight default link zr17asmMnemonic Statement
highlight default link zr17asmJump Conditional
highlight default link zr17asmRegister Identifier
highlight default link zr17asmConst StorageClass
highlight default link zr17asmConstName Constant
highlight default link zr17asmLabel Label
highlight default link zr17asmOperator Operator
highlight default link zr17asmDelimiter Delimiter
highlight default link zr17asmNumber Number
highlight default link zr17asmFloat Float
highlight default link zr17asmDefine Define
highlight default link zr17asmMacroName Macro
highlight default link zr17asmPreCondit PreCondit
highlight default link zr17asmIgnored Comment
highlight default link zr17asmInclude Include
highlight default link zr17asmIncludeName String
highlight default link zr17asmIncludeBad Error
highlight default link zr17asmTodo Todo
highlight default link zr17asmComment Comment
highlight default link zr17asmBlockComment Comment

let b:current_syntax = 'zr17asm'

let &cpo = s:cpo_save
unlet s:cpo_save
