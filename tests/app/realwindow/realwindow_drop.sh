#!/usr/bin/env bash
# Files dragged from another program onto the page through the X server's
# drag and drop, as from a file manager: two pictures land centred on the
# point where the mouse let go, the last one in front; a design replaces
# them once the question to clear the drawing is answered with OK. Then a
# picture named on the command line opens at start, without the wizard.
# Usage: realwindow_drop.sh STAGE_DIR SCREENSHOT_DIR DRAG_SOURCE_PROGRAM
set -euo pipefail
source "$(dirname "$0")/common.sh" "$@"
dragsource="$3"
source_pid=""
trap '[ -n "$source_pid" ] && kill "$source_pid" 2>/dev/null; cleanup' EXIT

# One colour each, top corners apart so that nothing is keyed out.
convert -size 200x100 xc:'#E01010' -fill black -draw 'point 199,0' "$work/wide.png"
convert -size 100x200 xc:'#1020E0' -fill black -draw 'point 99,0' "$work/tall.png"

start_program
wait_window "Kies een T-shirt"
settle
xdotool mousemove 511 311 click 1   # the blank design
settle 1
title_is Untitled

"$dragsource" "$work/wide.png" "$work/tall.png" >"$work/source.log" 2>&1 &
source_pid=$!
wait_window "^File source$"
wmctrl -r "File source" -e 0,0,620,-1,-1
settle
rest
shot before

# Pressed on the source, carried over the page left of its centre and let go.
drag_to_page() {
  local sx sy
  read -r sx sy <<< "$(origin "File source")"
  sx=$((sx + 60)) sy=$((sy + 40))
  xdotool mousemove "$sx" "$sy" mousedown 1
  for i in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $((sx + (x - sx) * i / 10)) $((sy + (y - sy) * i / 10)); sleep 0.1
  done
  xdotool mouseup 1
}
read -r x y <<< "$(P 330 300)"
drag_to_page
settle 1.5
rest
shot dropped

for p in "$x $y" "$((x - 75)) $y" "$((x - 110)) $y"; do
  [ "$(pixel before $p)" = "FFFFFF" ] || fail "the page at $p was not white before the drop"
done
[ "$(pixel dropped $x $y)" = "1020E0" ] || fail "the tall picture is not in front at the drop point"
[ "$(pixel dropped $x $((y - 75)))" = "1020E0" ] || fail "the tall picture is not centred on the drop point"
[ "$(pixel dropped $((x - 75)) $y)" = "E01010" ] || fail "the wide picture is not beside the tall one"
[ "$(pixel dropped $((x + 75)) $y)" = "E01010" ] || fail "the wide picture is not centred on the drop point"
[ "$(pixel dropped $((x - 110)) $y)" = "FFFFFF" ] || fail "a picture reaches beyond its box"
title_is Untitled

# A design from the same program: the question, OK, and the design's name.
kill "$source_pid"; wait "$source_pid" 2>/dev/null || true
cp "$stage/res/Tmplts/Awards/Certificate-achievement.prt" "$work/award.prt"
"$dragsource" "$work/award.prt" >"$work/source.log" 2>&1 &
source_pid=$!
wait_window "^File source$"
wmctrl -r "File source" -e 0,0,620,-1,-1
settle
drag_to_page
answer Return
settle 1.5
title_is award.prt
rest
shot design
[ "$(pixel design $x $y)" != "1020E0" ] || fail "the dropped pictures stayed after the design was opened"

kill "$program"; wait "$program" 2>/dev/null || true
start_program "$work/tall.png"
wait_window "^tall.png - Kavelo$"
settle 1
shown "Kies een T-shirt" && fail "the wizard came before the picture named at start"
rest
shot started
read -r cx cy <<< "$(P 400 374)"
[ "$(pixel started $cx $cy)" = "1020E0" ] || fail "the picture named at start is not on the page"
echo "real window: two pictures and a design dragged from another program landed as dropped, a picture named at start opened; screenshots in $shots"
