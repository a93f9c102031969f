#!/bin/sh
# Runs tests/nvim/lsp_test.lua in a headless Neovim against a zr17_lsp
# executable, on a fresh two-file project; exits 77 (skipped) without nvim.
# Usage: tests/nvim/run.sh PATH_TO_ZR17_LSP
set -eu
server=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v nvim >/dev/null 2>&1; then
  echo "nvim not found: skipped"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/project"
project=$(cd "$work/project" && pwd -P)
printf '; constants\nCONST LIMIT 10\n' >"$project/defs.inc"
printf '#include "defs.inc"\n        ORG 0\nstart:  move x, LIMIT\n        bogus\n        goto start\n' >"$project/main.asm"
# Neovim keeps its state and logs under the work folder, not in HOME.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" \
  XDG_CACHE_HOME="$work/cache"
export ZR17_LSP="$server" ZR17_PROJECT="$project"
# The script has its own waits; this bounds the whole editor, whatever happens.
status=0
timeout 90 nvim --headless --clean -u NONE -i NONE -n -c "luafile $here/lsp_test.lua" </dev/null || status=$?
if [ "$status" -ne 0 ]; then
  echo "neovim lsp test failed (status $status)" >&2
  [ -f "$work/cache/nvim/lsp.log" ] && tail -n 20 "$work/cache/nvim/lsp.log" >&2
  exit 1
fi
