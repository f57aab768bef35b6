#!/usr/bin/env bash
# Sets up the machine, builds Morvane and runs the whole test suite, first
# in the normal build and then in the sanitizer build (ASan + UBSan).
# Usage: tools/test.sh [--no-sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
jobs="$(nproc)"

run_suite() {
  local dir="$1"; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure
}

run_suite build
if [ "${1:-}" != "--no-sanitize" ]; then
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
  LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    run_suite build-asan -DMORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
fi
