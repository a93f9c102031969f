#!/usr/bin/env bash
# Builds zr17_lsp and runs the Neovim test against it: Neovim's built-in
# LSP client, headless. Installs neovim with apt-get when run as root and
# it is missing.
# Usage: scripts/lsp_nvim.sh [PRESET]   (default: "default")
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
if ! command -v nvim >/dev/null; then
  if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq neovim >/dev/null
  else
    echo "Install Neovim: sudo apt-get install -y neovim" >&2
    exit 1
  fi
fi
scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target zr17_lsp
build=build
[[ $preset == default ]] || build="build-$preset"
sh tests/nvim/run.sh "$build/src/lsp/zr17_lsp"
