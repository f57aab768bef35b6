#!/usr/bin/env bash
# The program's main window with a bundled template open, as a user sees
# it, on a private X server (Xvfb): the picture software centres show.
# The program starts in its own folder with a fresh home, opens
# Awards/Certificate-achievement.prt through the wizard's template choice,
# and quits with Q and OK once the window is captured.
# Usage: tools/screenshot.sh PROGRAM OUTPUT.png
set -euo pipefail
program_path="$(realpath "$1")"
output="$(realpath -m "$2")"
# The wizard opens its file dialog in its own template folder, beside Awards.
template="../Awards/Certificate-achievement.prt"

source "$(dirname "$0")/xvfb.sh"
home="$(mktemp -d)"
cleanup() {
  [ -n "${program:-}" ] && kill "$program" 2>/dev/null || true
  stop_xvfb
  rm -rf "$home"
}
trap cleanup EXIT
start_xvfb "$home"
export QT_QPA_PLATFORM=xcb

fail() { echo "FAIL: $*" >&2; exit 1; }
# Waits up to ten seconds for a window whose name matches; prints its id.
window() {
  for _ in $(seq 100); do
    xdotool search --name "$1" 2>/dev/null | head -1 | grep . && return 0
    sleep 0.1
  done
  return 1
}

cd "$(dirname "$program_path")"
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" \
  "$program_path" >/dev/null &
program=$!

window "^Kies een T-shirt$" >/dev/null || fail "the wizard did not open"
sleep 0.5
xdotool mousemove 511 450 click 1   # the wizard's template choice
window "^Openen$" >/dev/null || fail "the template choice opened no file dialog"
sleep 0.5
xdotool key ctrl+a type --delay 20 "$template"
xdotool key Return
frame="$(window "^Certificate-achievement.prt - Kavelo$")" ||
  fail "the template did not open in the main window"
xdotool mousemove 1020 760          # nothing hovered
sleep 1
mkdir -p "$(dirname "$output")"
import -window "$frame" "$output"

xdotool key q
sleep 0.7
xdotool key Return
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then fail "the program did not end after Q and OK"; fi
program=""
echo "screenshot: $output"
