#!/bin/sh
# An output file whose write fails (here: past the file-size limit, which
# binds root too) keeps its previous content, and no temporary file stays.
# Usage: atomic_write.sh ZR17_ASM
set -eu
asm="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
{
  echo " ORG 0"
  i=0
  while [ $i -lt 120 ]; do echo " move x, 1"; i=$((i + 1)); done
} > prog.asm
echo "old hex" > prog.hex
echo "old dbg" > prog.dbg
# The hex file needs about 13 KB, the limit allows 8 KB: its write fails;
# the simulator hex, object and debug files are smaller and get written.
set +e
out=$(SOURCE_DATE_EPOCH=1700000000 sh -c 'trap "" XFSZ; ulimit -f 8; exec "$0" prog.asm' "$asm")
status=$?
set -e
expected="--- ZR17 Assembler,          tessaro instrument works ---
ERROR: Could not write file 'prog.hex'
INFO: prog.asm: Processing failed, with 1 error(s)"
fail=0
[ "$out" = "$expected" ] || { echo "stdout was:"; echo "$out"; fail=1; }
[ "$status" -eq 1 ] || { echo "status $status, expected 1"; fail=1; }
[ "$(cat prog.hex)" = "old hex" ] || { echo "prog.hex was changed"; fail=1; }
grep -q "^0000: 2 prog.asm" prog.dbg || { echo "prog.dbg not written"; fail=1; }
leftover=$(ls | grep -v -x -e prog.asm -e prog.hex -e prog_sim.hex -e prog.obj -e prog.dbg || true)
[ -z "$leftover" ] || { echo "left behind: $leftover"; fail=1; }
exit $fail
