; blink.asm - toggles the demo board's LED with a busy-wait delay.
#include "defs.inc"

        ORG 0
start:  clear x
        ramadr LED_PORT         ; select the LED port

main:   bitinv x, LED_BIT       ; toggle the LED
        jsub delay
        goto main

<COMMENT>
  delay: burns DELAY_COUNT loop iterations.
  Uses y; leaves x untouched.
<ENDCOMMENT>
delay:  move y, DELAY_COUNT
wait:   decr y
        compare y, 0
        gotoNE wait
        jsubret
