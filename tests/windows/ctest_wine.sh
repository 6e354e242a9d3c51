#!/usr/bin/env bash
# Runs the Windows build's CTest tests under Wine, on a display and a WINEPREFIX of their own.
# Usage: ctest_wine.sh <build folder> <source folder> <DLL folders, ":"-separated> [ctest options...]
set -euo pipefail
build=$1
src=$2
wine_dlls=$3
shift 3
source "$src/tests/e2e/lib.sh"
source "$src/tests/windows/wine.sh"
trap 'stop_wine; cleanup' EXIT
start_display
start_wine
cd "$build"
ctest --output-on-failure "$@"
