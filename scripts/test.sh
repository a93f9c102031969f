#!/usr/bin/env bash
# Builds the assembler with its tests and runs every test.
# Usage: scripts/test.sh [PRESET]   (default: "default"; "asan" for the sanitizers)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh --tests
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
