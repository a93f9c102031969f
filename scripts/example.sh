#!/usr/bin/env bash
# Builds the assembler and assembles the bundled example program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DZR17_TESTS=OFF >/dev/null
cmake --build build -j2
cd examples
../build/zr17_asm blink.asm
