#!/usr/bin/env bash
# Runs the Vim tests (syntax, filetype plugin, errorformat) in every editor
# given, or else in each of vim and nvim that is installed.
# Usage: editors/vim/test/run.sh [vim|nvim ...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
editors=("$@")
if [[ ${#editors[@]} -eq 0 ]]; then
  for editor in vim nvim; do
    command -v "$editor" >/dev/null && editors+=("$editor")
  done
fi
if [[ ${#editors[@]} -eq 0 ]]; then
  echo "Neither vim nor nvim is installed." >&2
  exit 1
fi

result="$(mktemp)"
trap 'rm -f "$result"' EXIT
passed=0
failed=0
for editor in "${editors[@]}"; do
  # No user configuration, no viminfo/shada; -N keeps Vim out of vi mode.
  flags=(-u NONE -i NONE -Es)
  [[ "$(basename "$editor")" == vim ]] && flags=(-N "${flags[@]}")
  for test in syntax errorformat; do
    : >"$result"
    # The results go to a file; what the editor prints (:make echoes the
    # stand-in assembler) is dropped.
    if ZR17_RESULT="$result" "$editor" "${flags[@]}" -S "$here/$test.vim" </dev/null >/dev/null 2>&1; then
      status=ok
      passed=$((passed + 1))
    else
      status=FAILED
      failed=$((failed + 1))
    fi
    echo "$editor $test: $status"
    sed 's/^/  /' "$result"
  done
done
echo "vim: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
