#!/bin/sh
# The dependency file in real builds: GNU make (-include of the file) and
# ninja (depfile, deps = gcc) rebuild when an include the source read is
# touched, not when an unrelated file is, and a deleted include is no error.
# Usage: deps_build.sh ZR17_ASM
set -eu
asm="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export SOURCE_DATE_EPOCH=1700000000
fail=0
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "$1: expected '$2', got '$3'"; fail=1; fi
}
# Each step waits a second, so that file times differ on every file system.
later() { sleep 1; touch "$@"; }

setup() {
  rm -rf project && mkdir -p project/inc project/lib && cd project
  printf 'org 0\n#include "inc/a.inc"\n#include <b.inc>\n  nop\n' > prog.asm
  printf '  nop\n' > inc/a.inc
  printf '  nop\n' > lib/b.inc
  printf 'unrelated\n' > notes.txt
}

# make
setup
cat > Makefile <<MAKE
prog.hex: prog.asm
	"$asm" --deps=prog.d prog.asm > /dev/null
	echo built >> log
-include prog.d
MAKE
make -s
check "make, first build" "built" "$(cat log)"
make -s
check "make, nothing changed" "1" "$(wc -l < log | tr -d ' ')"
later inc/a.inc && make -s
check "make, quoted include touched" "2" "$(wc -l < log | tr -d ' ')"
later lib/b.inc && make -s
check "make, angled include touched" "3" "$(wc -l < log | tr -d ' ')"
later notes.txt && make -s
check "make, unrelated file touched" "3" "$(wc -l < log | tr -d ' ')"
printf 'org 0\n  nop\n' > prog.asm && rm inc/a.inc && make -s
check "make, include deleted" "4" "$(wc -l < log | tr -d ' ')"
cd ..

# ninja
setup
cat > build.ninja <<NINJA
rule asm
  command = "$asm" --deps=prog.d \$in > /dev/null && echo built >> log
  depfile = prog.d
  deps = gcc
build prog.hex prog_sim.hex prog.obj prog.dbg: asm prog.asm
NINJA
ninja -v > /dev/null
check "ninja, first build" "built" "$(cat log)"
check "ninja, nothing changed" "ninja: no work to do." "$(ninja)"
later inc/a.inc && ninja > /dev/null
check "ninja, quoted include touched" "2" "$(wc -l < log | tr -d ' ')"
later lib/b.inc && ninja > /dev/null
check "ninja, angled include touched" "3" "$(wc -l < log | tr -d ' ')"
later notes.txt
check "ninja, unrelated file touched" "ninja: no work to do." "$(ninja)"
printf 'org 0\n  nop\n' > prog.asm && rm inc/a.inc && ninja > /dev/null
check "ninja, include deleted" "4" "$(wc -l < log | tr -d ' ')"
exit $fail
