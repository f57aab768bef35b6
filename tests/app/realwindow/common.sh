# Shared by the real-window tests: an X server (Xvfb) with a window manager
# (openbox: frames, activation and the close button as on a desktop), the
# program started in the staged folder, and the hands and eyes of the user:
# xdotool for keys and the mouse, screenshots compared with ImageMagick.
# Usage in a test: source common.sh STAGE_DIR SCREENSHOT_DIR

stage="$1"
shots="${2:-$(mktemp -d)}"
mkdir -p "$shots"
work="$(mktemp -d)"
home="$work/home"
mkdir -p -m 700 "$home"
program=""

source "$(dirname "${BASH_SOURCE[0]}")/../../../tools/xvfb.sh"
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb "$work"
# The test suite runs offscreen; these tests need the real X window.
export QT_QPA_PLATFORM=xcb
HOME="$home" openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done

fail() { import -window root "$shots/failure.png" 2>/dev/null || true; echo "FAIL: $*" >&2; exit 1; }
shot() { import -window root "$shots/$1.png"; }
# Number of pixels that differ between the same crop (WxH+X+Y) of two shots.
differ() {
  convert "$shots/$1.png" -crop "$3" +repage "$shots/crop-a.png"
  convert "$shots/$2.png" -crop "$3" +repage "$shots/crop-b.png"
  compare -metric AE "$shots/crop-a.png" "$shots/crop-b.png" null: 2>&1 | cut -d' ' -f1 || true
}
# The colour RRGGBB of a screen pixel of a shot.
pixel() { convert "$shots/$1.png" -format "%[hex:u.p{$2,$3}]" info:; }
# Expects at least MIN pixels of the crop to differ between two shots.
changed() { # before after crop min what
  local n; n="$(differ "$1" "$2" "$3")"
  [ "$n" -ge "$4" ] || fail "$5 ($n pixels changed in $3)"
}
same() { # before after crop what
  local n; n="$(differ "$1" "$2" "$3")"
  [ "$n" -eq 0 ] || fail "$4 ($n pixels changed in $3)"
}
# The titles of the windows the window manager shows now.
titles() { wmctrl -l | awk '{ $1 = $2 = $3 = ""; sub(/^ +/, ""); print }'; }
shown() { titles | grep -qE "$1"; }
# Up to 20 s: on a machine busy with other work a popup took over 8 s to
# show, and a wait ends as soon as the window is there.
wait_window() { # title (a pattern)
  for _ in $(seq 200); do shown "$1" && return 0; sleep 0.1; done
  fail "no window named '$1' appeared"
}
wait_gone() { # title
  for _ in $(seq 200); do shown "$1" || return 0; sleep 0.1; done
  fail "the window '$1' stayed"
}
settle() { sleep "${1:-0.5}"; }
rest() { xdotool mousemove 1010 750; settle "${1:-0.4}"; } # the pointer off every control

# The view inside the 812 x 650 frame at (106, 59): openbox's title bar and
# borders, then the menu bar. A point of the 800 x 600 design in screen
# pixels.
vx=107 vy=98 vw=810 vh=606
P() { echo "$((vx + ($1 * vw + 400) / 800)) $((vy + ($2 * vh + 300) / 600))"; }
click_at() { xdotool mousemove $(P "$1" "$2") click 1; settle "${3:-0.5}"; }
# The thumbs of the strips (0 to 7) and the page's centre.
category() { click_at 110 $((230 + 43 * $1)); }
clipart() { click_at 689 $((230 + 43 * $1)) 0.8; }
page_crop="400x400+$((vx + 210))+$((vy + 190))"

start_program() {
  cd "$stage"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" PATH="$work/bin:$PATH" \
    ./morvane "$@" >"$work/program.log" 2>&1 &
  program=$!
}
# The help documents open through xdg-open: a stand-in notes them.
mkdir -p "$work/bin"
printf '#!/bin/sh\necho "$@" >> "%s/opened"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

# The top-left corner of a window's inside on the screen, by its title.
origin() { xwininfo -name "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'; }
# A click at an offset inside the window of that title.
click_in() { # title dx dy
  local ox oy; read -r ox oy <<< "$(origin "$1")"
  xdotool mousemove $((ox + $2)) $((oy + $3)) click 1; settle "${4:-0.5}"
}
# The text window: the text replaced by the one given, then OK.
write_text() {
  wait_window "^Tekst$"; settle
  click_in "Tekst" 213 121 0.2
  xdotool key ctrl+a; xdotool type --delay 30 "$1"
  click_in "Tekst" 115 325 1.5
  wait_gone "^Tekst$"
}
# Answers a message box (title "Kavelo") with a key: Return OK, Escape Cancel.
answer() { wait_window "^Kavelo$"; settle 0.3; xdotool key "$1"; wait_gone "^Kavelo$"; settle; }
# A file dialog of that title given a name and confirmed.
give_name() { wait_window "$1"; settle; xdotool key ctrl+a; xdotool type "$2"; xdotool key Return; wait_gone "$1"; settle; }
title_is() { shown "^$1 - Kavelo\$" || fail "the window is not named '$1 - Kavelo'"; }
