#!/usr/bin/env bash
# Makes sure the build tools are there: installs the missing ones with
# apt-get when run as root, otherwise says exactly what to install.
# Usage: scripts/setup.sh [--tests]   (--tests also needs GoogleTest)
set -euo pipefail

need=()
command -v g++ >/dev/null || need+=(g++)
command -v cmake >/dev/null || need+=(cmake)
command -v re2c >/dev/null || need+=(re2c)
command -v bison >/dev/null || need+=(bison)
command -v make >/dev/null || need+=(make)
[[ -f /usr/include/nlohmann/json.hpp ]] || need+=(nlohmann-json3-dev)
if [[ "${1:-}" == "--tests" ]]; then
  [[ -f /usr/include/gtest/gtest.h ]] || need+=(libgtest-dev)
  # The dependency-file test drives real make and ninja builds.
  command -v ninja >/dev/null || need+=(ninja-build)
fi
[[ ${#need[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null; then
  echo "Installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${need[@]}" >/dev/null
else
  echo "Missing build tools. Install them with:" >&2
  echo "  sudo apt-get install -y ${need[*]}" >&2
  exit 1
fi
