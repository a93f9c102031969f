#!/usr/bin/env bash
# Cross-builds zr17_asm.exe with MinGW-w64, packs the release zip, and runs
# the unit tests and the end-to-end suite against the Windows build under Wine.
# Usage: scripts/windows.sh [--no-tests]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
need=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
if [[ "${1:-}" != "--no-tests" ]]; then
  command -v wine >/dev/null || need+=(wine wine64)
fi
if [[ ${#need[@]} -gt 0 ]]; then
  if [[ $(id -u) -eq 0 ]]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${need[@]}" >/dev/null
  else
    echo "Install: sudo apt-get install -y ${need[*]}" >&2
    exit 1
  fi
fi
tests=ON
[[ "${1:-}" == "--no-tests" ]] && tests=OFF
# With the tests, the unit tests are built for Windows too (zr17_unit_tests_win.exe).
cmake --preset windows -DZR17_WINDOWS_TESTS=$tests >/dev/null
cmake --build --preset windows
cmake --build --preset windows --target package_zip
[[ $tests == OFF ]] && exit 0

# One persistent wineserver, so that each case does not pay Wine's start-up.
# It is started before anything else uses the prefix: a server that is
# already running (one left from an earlier run) refuses a second one, and
# serves just as well.
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$PWD/build-wine/prefix}"
mkdir -p "$WINEPREFIX"
wineserver -p 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot --init >/dev/null 2>&1 || true
(cd build-windows && SOURCE_DATE_EPOCH=1700000000 wine ./zr17_unit_tests_win.exe --gtest_brief=1)
cmake --preset wine >/dev/null
cmake --build --preset wine --target e2e_runner
ctest --preset wine
