#!/usr/bin/env bash
# A long run of the program in one process (tests/soak/soak.cpp): each
# round opens a template, adds a picture and a text, moves the text, saves,
# exports, prints to PDF and starts a new design. Built in the sanitizer
# build, so that LeakSanitizer reports anything never freed; the resident
# memory is printed every hundred rounds, and the run fails when round 1000
# holds more than 10% over round 100.
# Usage: tools/soak.sh [rounds, default 1000]
# Environment: SOAK_SANITIZE=0 for a normal build; SOAK_BUILD its folder.
set -euo pipefail
cd "$(dirname "$0")/.."

rounds="${1:-1000}"
# SOAK_SANITIZE=0 runs it in a normal optimised build instead (default
# folder build-soak), where the resident size is the program's own.
if [ "${SOAK_SANITIZE:-1}" = 0 ]; then
  build="${SOAK_BUILD:-build-soak}"
  flags=(-DMORVANE_SANITIZE=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo)
else
  build="${SOAK_BUILD:-build-asan}"
  flags=(-DMORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
                                          -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja "${flags[@]}" "${launcher[@]}" >/dev/null
cmake --build "$build" -j 2 --target morvane_soak

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
log="$build/soak.log"
# A small quarantine, so that freed memory is soon reused and the resident
# size shows what the program holds.
# A failed round or a leak still gets its memory summary below.
set +e
QT_QPA_PLATFORM=offscreen \
ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=16:abort_on_error=0" \
LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  "$build/tests/soak/morvane_soak" "$rounds" "$work" 2>&1 | tee "$log"
status="${PIPESTATUS[0]}"
set -e

at() { sed -n "s/^round $1: \([0-9]*\) kB resident$/\1/p" "$log"; }
first="$(at 100)" last="$(at "$rounds")"
if [ -n "$first" ] && [ -n "$last" ] && [ "$rounds" -ge 100 ]; then
  growth=$(( (last - first) * 1000 / first ))
  echo "resident memory: round 100 $first kB, round $rounds $last kB" \
       "($((growth / 10)).$((growth % 10))% change)"
  [ "$last" -le $(( first + first / 10 )) ] || { echo "memory grew by more than 10%"; status=1; }
fi
exit "$status"
