" ZR17 assembler sources. Files ending in .asm are left alone (many
" assemblers use it); to open them as ZR17 sources, add to your vimrc:
"   autocmd BufNewFile,BufRead *.asm setfiletype zr17asm
autocmd BufNewFile,BufRead *.zr17,*.z17 setfiletype zr17asm
