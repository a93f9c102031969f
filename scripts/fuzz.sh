#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for SECONDS (default 30) from
# the seed corpus (every test source); any crash, hang or sanitizer report
# fails the run and leaves the reproducer in build-fuzz/findings/.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
scripts/setup.sh
if ! command -v clang++ >/dev/null ||
   ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  if [[ $(id -u) -eq 0 ]]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq clang libclang-rt-dev >/dev/null 2>&1 ||
      apt-get install -y -qq clang libclang-rt-14-dev >/dev/null
  else
    echo "Install clang and its fuzzer runtime: sudo apt-get install -y clang libclang-rt-14-dev" >&2
    exit 1
  fi
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

corpus=build-fuzz/corpus
mkdir -p "$corpus" build-fuzz/findings
python3 - "$corpus" <<'PY' 2>/dev/null || true
import os, sys, glob
out = sys.argv[1]
for n, case in enumerate(sorted(glob.glob("tests/e2e/**/*.case", recursive=True))):
    text = open(case, "rb").read().split(b"\n=== ")
    for i, part in enumerate(text):
        if part.startswith(b"file ") or part.startswith(b"=== file "):
            body = part.split(b"\n", 1)[1] if b"\n" in part else b""
            open(os.path.join(out, f"seed_{n}_{i}"), "wb").write(body)
PY
cp examples/*.asm examples/*.inc "$corpus"/ 2>/dev/null || true

# The language server's target starts from whole protocol sessions as well.
seeds_of() {
  [[ $1 == fuzz_lsp ]] && echo tests/fuzz/lsp_corpus
  return 0
}

export ASAN_OPTIONS=detect_leaks=0
for target in fuzz_assemble fuzz_includes fuzz_lsp; do
  echo "== $target for ${seconds}s"
  mkdir -p "build-fuzz/corpus-$target"
  build-fuzz/$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 \
    "build-fuzz/corpus-$target" "$corpus" $(seeds_of "$target") >"build-fuzz/$target.log" 2>&1 || {
    tail -n 40 "build-fuzz/$target.log"
    exit 1
  }
  grep -E '^#[0-9]+' "build-fuzz/$target.log" | tail -n 1
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "build-fuzz/$target.log"
done
if compgen -G "build-fuzz/findings/*" >/dev/null; then
  echo "fuzzing found problems:" >&2
  ls build-fuzz/findings >&2
  exit 1
fi
