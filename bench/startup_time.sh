#!/usr/bin/env bash
# Start time of the program: from the process start to its main window
# shown on an X server (Xvfb), with the bundled library and the start-up
# wizard switched off. Prints every run and the median in milliseconds.
# Usage: bench/startup_time.sh [STAGE_DIR] [RUNS]
set -euo pipefail
stage="${1:-build/stage}"
runs="${2:-7}"
stage="$(cd "$stage" && pwd)"

source "$(dirname "$0")/../tools/xvfb.sh"
home="$(mktemp -d)"
trap 'stop_xvfb; rm -rf "$home"' EXIT
start_xvfb "$home"
export QT_QPA_PLATFORM=xcb

mkdir -p "$home/.config/Kavelo"
times=()
cpus=()
for run in $(seq "$runs"); do
  # Wizard off and no remembered caption, so no run refuses the next.
  printf '[HKCU]\nSoftware\\Kavelo\\wizardshownexttime=dword:00000000\n' \
    >"$home/.config/Kavelo/registry.ini"
  start=$(date +%s%N)
  (cd "$stage" && HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" \
     exec ./morvane >/dev/null 2>&1) &
  pid=$!
  # Polled every 20 ms: "xdotool search --sync" looks only every half
  # second, which would round every start up to a multiple of 500 ms.
  until xdotool search --onlyvisible --name " - Kavelo" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "the program ended before its window showed" >&2; exit 1; }
    sleep 0.02
  done
  end=$(date +%s%N)
  # The processor time the program used by then (user + system): on a
  # busy machine the wall time says more about the neighbours than about us.
  cpu=$(awk -v tick="$(getconf CLK_TCK)" '{print int(($14 + $15) * 1000 / tick)}' "/proc/$pid/stat")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  ms=$(( (end - start) / 1000000 ))
  times+=("$ms")
  cpus+=("$cpu")
  echo "run $run: ${ms} ms (processor ${cpu} ms)"
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
echo "median start time: $(median "${times[@]}") ms over $runs runs" \
  "(processor time $(median "${cpus[@]}") ms)"
