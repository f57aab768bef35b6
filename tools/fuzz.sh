#!/usr/bin/env bash
# A fuzzing campaign over every parser of outside data: builds the libFuzzer
# targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer, decoders
# limited to small pictures), runs each for the given seconds, merges what
# the run found into the target's working corpus and lists the findings.
#
# Usage: tools/fuzz.sh [seconds per target, default 60; 0 for no limit] [target ...]
# Environment:
#   FUZZ_RUNS    stop each target after this many inputs
#   FUZZ_BUILD   the fuzz build folder (default build-fuzz)
#   FUZZ_MAX_LEN the longest input tried, in bytes (default 65536); larger
#                seeds are left out
#   FUZZ_STAGE   a staged program folder whose res/ seeds the corpora
#                (default build/stage)
#
# Working corpora stay in FUZZ_BUILD/corpus/<target> from run to run; every
# run is logged to FUZZ_BUILD/campaign.log, and the executions per target
# over all runs are printed at the end. Crashes, sanitizer reports, timeouts
# and out-of-memory inputs land in FUZZ_BUILD/findings/<target>; commit such
# an input to tests/fuzz/corpus/<target> once it is fixed, so that the test
# suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
all_targets=(bmp tga pcx pict png jpeg tiff wmf emf anypic design settings)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
build="${FUZZ_BUILD:-build-fuzz}"
max_len="${FUZZ_MAX_LEN:-65536}"
stage="${FUZZ_STAGE:-build/stage}"
fixtures=tests/data/codecs
suite=../shared/testdata/bmpsuite

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
                                          -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DMORVANE_FUZZ=ON -DMORVANE_TESTS=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" -j 2 --target "${targets[@]/#/fuzz_}"

# Files of the fixtures and the staged resources that seed a target.
seed_files() {
  local target="$1" patterns=()
  case "$target" in
    bmp) patterns=("*.bmp") ;;
    tga) patterns=("*.tga") ;;
    pcx) patterns=("*.pcx") ;;
    pict) patterns=("*.pict" "*.pct") ;;
    png) patterns=("*.png") ;;
    jpeg) patterns=("*.jpg" "*.jpeg") ;;
    tiff) patterns=("*.tif" "*.tiff") ;;
    wmf) patterns=("*.wmf") ;;
    emf) patterns=("*.emf") ;;
    anypic) patterns=("*.bmp" "*.tga" "*.pcx" "*.pict" "*.png" "*.jpg" "*.tif" "*.wmf") ;;
    design) patterns=("*.prt") ;;
    settings) patterns=("*.ini") ;;
  esac
  local dirs=()
  for d in "$fixtures" "$suite" "$stage/res"; do [ -d "$d" ] && dirs+=("$d"); done
  [ ${#dirs[@]} -gt 0 ] || return 0
  for p in "${patterns[@]}"; do
    find "${dirs[@]}" -type f -iname "$p" -size -"$((max_len / 1024 + 1))"k
  done
}

run_target() {
  local target="$1"
  local program="$build/tests/fuzz/fuzz_$target"
  local work="$build/corpus/$target" seeds="$build/seeds/$target"
  local findings="$build/findings/$target" output="$build/logs/$target.log"
  mkdir -p "$work" "$seeds" "$findings" "$build/logs"
  seed_files "$target" | while read -r f; do cp -n "$f" "$seeds/" 2>/dev/null || true; done
  local limits=(-max_len="$max_len" -timeout=30 -rss_limit_mb=1536 -malloc_limit_mb=512
                -artifact_prefix="$findings/" -print_final_stats=1)
  [ "$seconds" -eq 0 ] || limits+=(-max_total_time="$seconds")
  [ -z "${FUZZ_RUNS:-}" ] || limits+=(-runs="$FUZZ_RUNS")
  echo "== $target"
  local status=0
  "$program" "${limits[@]}" "$work" "$seeds" "tests/fuzz/corpus/$target" >"$output" 2>&1 ||
    status=$?
  local runs
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$output" | tail -1)"
  local speed
  speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$output" | tail -1)"
  # Keep only the inputs that add coverage.
  local merged="$build/corpus/$target.merged"
  rm -rf "$merged" && mkdir -p "$merged"
  "$program" -merge=1 -timeout=30 -rss_limit_mb=1536 -artifact_prefix="$findings/" \
    "$merged" "$work" >/dev/null 2>&1 &&
    rm -rf "$work" && mv "$merged" "$work"
  local found
  found="$(find "$findings" -type f | wc -l)"
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$(date -u +%FT%TZ)" "$target" "${runs:-0}" \
    "${speed:-0}" "$status" "$found" >>"$build/campaign.log"
  echo "   ${runs:-0} inputs, ${speed:-0} per second, exit $status," \
       "$(find "$work" -type f | wc -l) in corpus, $found findings"
  [ "$status" -eq 0 ] || tail -40 "$output"
  return "$status"
}

# Memory that system libraries (fontconfig for the metafiles' text) keep
# until exit is not a finding, as in the test suite; without the
# suppressions a merge took the report at its exit for a crash.
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
# No allocation stacks: Qt is built without frame pointers, so the fast
# unwinder made a new "unique" stack of every allocation inside Qt's file
# classes, and the settings target grew past a gigabyte and to half its
# speed storing them. A finding replays in the test suite with full stacks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0}"

failed=0
for t in "${targets[@]}"; do
  run_target "$t" || failed=1
done

echo "== inputs per target over all runs ($build/campaign.log)"
awk -F'\t' '{ runs[$2] += $3; if ($5 != 0) bad[$2]++ }
  END { for (t in runs) printf "   %-9s %12d%s\n", t, runs[t], bad[t] ? "  (runs with findings: " bad[t] ")" : "" }' \
  "$build/campaign.log" | sort
exit "$failed"
