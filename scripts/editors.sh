#!/usr/bin/env bash
# Editor support: tests the VS Code extension (grammar scopes, problem
# matchers, client), packs it into a .vsix and checks the package, then runs
# the Vim tests, and, when the assembler is built, feeds its real error
# lines to both. Installs Vim with apt-get when run as root and neither vim
# nor nvim is there. Exits non-zero on any failure.
# Usage: scripts/editors.sh   (ZR17_ASM names the assembler; default build/zr17_asm)
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
command -v node >/dev/null || need+=(nodejs)
command -v npm >/dev/null || need+=(npm)
command -v vim >/dev/null || command -v nvim >/dev/null || need+=(vim)
if [[ ${#need[@]} -gt 0 ]]; then
  if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null; then
    echo "Installing: ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${need[@]}" >/dev/null
  else
    echo "Missing tools. Install them with:" >&2
    echo "  sudo apt-get install -y ${need[*]}" >&2
    exit 1
  fi
fi
# The packaging tool needs Node.js 20 or later.
if ! node -e 'process.exit(Number(process.versions.node.split(".")[0]) >= 20 ? 0 : 1)'; then
  echo "Node.js $(node --version) is too old: the VS Code packaging needs 20 or later." >&2
  exit 1
fi

step() { echo "== $*"; }

(
  cd editors/vscode
  step "npm ci (editors/vscode)"
  # No install scripts: the only package with one is the packaging tool's
  # optional keychain module, which is not needed to pack and would try to
  # download or compile a binary.
  npm ci --ignore-scripts --no-audit --no-fund --loglevel=error
  step "grammar and unit tests"
  npm test
  step "packaging"
  vsix="zr17asm-$(node -p 'require("./package.json").version').vsix"
  rm -f "$vsix"
  npx --no-install vsce package --skip-license --allow-missing-repository --out "$vsix" 2>&1 |
    grep -v 'For performance reasons, you should bundle' || true
  [[ -f "$vsix" ]] || { echo "no $vsix was made" >&2; exit 1; }
  node test/check-vsix.js "$vsix"
)

step "Vim tests"
editors/vim/test/run.sh

assembler="${ZR17_ASM:-build/zr17_asm}"
if [[ -x "$assembler" ]]; then
  step "error lines of $assembler"
  node editors/test/live-check.js "$assembler"
else
  echo "== error lines of the assembler: skipped, no $assembler (build it first, or set ZR17_ASM)"
fi
