#!/usr/bin/env bash
# The program in a real X window (Xvfb with a window manager), driven with
# xdotool as a user drives it: the wizard's blank design,
# the whole window on the screen, hovering a skin button, adding clip art
# from the two strips and by dragging a thumb, moving a layer and fitting
# it to the page with the right-click menu, a text layer and its window by
# a double click, the page frame's handle, the main colour button (Cancel
# and a colour), a second copy that must not start, and quitting. Keys and
# menu items: realwindow_keys.sh; printing: realwindow_print.sh.
# Usage: realwindow.sh STAGE_DIR [SCREENSHOT_DIR]
set -euo pipefail
source "$(dirname "$0")/common.sh" "$@"

start_program
wait_window "Kies een T-shirt"
settle
shot wizard
xdotool mousemove 511 311 click 1   # the blank design
settle 1
title_is Untitled

# The whole window, frame included, is the 812 x 650 of the settings,
# centred on the 1024 x 768 screen: the desktop shows around it.
rest
shot start
for p in "105 400" "918 400" "500 58" "500 709"; do
  [ "$(pixel start $p)" = "000000" ] || fail "the window reaches $p"
done
for p in "106 400" "917 400" "500 59" "500 708"; do
  [ "$(pixel start $p)" != "000000" ] || fail "the window does not reach $p"
done

xdotool mousemove $(P 84 85)        # over the load button
settle
shot hover
changed start hover "150x48+$((vx + 9))+$((vy + 62))" 200 "the load button shows no hover look"

# The file strip shows the first category's pictures from the start.
category 0
clipart 0
rest
shot layer
changed start layer "$page_crop" 2000 "no picture appeared on the page"
changed start layer "150x48+$((vx + 9))+$((vy + 115))" 200 "the save button stayed disabled"

# Dragged on the page: the picture moves up.
read -r x y <<< "$(P 400 374)"
xdotool mousemove "$x" "$y" mousedown 1
for d in 20 50 80 110 120; do xdotool mousemove "$x" $((y - d)); sleep 0.05; done
xdotool mouseup 1
rest 0.7
shot moved
changed layer moved "$page_crop" 2000 "dragging did not move the picture"

# A thumb of the file strip dragged onto the page adds its picture there.
read -r tx ty <<< "$(P 689 $((230 + 43 * 2)))"
xdotool mousemove "$tx" "$ty" mousedown 1
for d in 40 120 200 280 330; do xdotool mousemove $((tx - d)) $((ty + 60)); sleep 0.05; done
xdotool mouseup 1
rest 0.8
shot dropped
changed moved dropped "300x200+$((tx - 480))+$((ty - 40))" 1500 "a dragged thumb added no picture"

# The dropped picture selected and moved a little.
xdotool mousemove $((tx - 330)) $((ty + 60)) click 1
rest
shot selected
xdotool mousemove $((tx - 330)) $((ty + 60)) mousedown 1
for d in 10 20 30; do xdotool mousemove $((tx - 330 + d)) $((ty + 60)); sleep 0.05; done
xdotool mouseup 1
rest
shot nudged
changed selected nudged "$page_crop" 200 "dragging the selected picture moved nothing"

# The right-click menu: "Paginagroot" makes the layer fill the page.
xdotool mousemove $((tx - 300)) $((ty + 60)) click 3
settle 0.7
shot menu
changed nudged menu "300x300+$((tx - 450))+$((ty - 100))" 500 "the right button showed no menu"
xdotool key Up Up Up Up Return      # the last item before the editing ones
rest 0.8
shot fitted
changed nudged fitted "$page_crop" 20000 "fit to page changed nothing"

xdotool key t                       # a text layer
wait_window "^Tekst$"
settle
xdotool mousemove 500 330 click 1
xdotool type --delay 40 "Hallo"
xdotool mousemove 402 534 click 1
settle 1.5
rest
shot text
changed fitted text "$page_crop" 500 "no text appeared on the page"
changed fitted text "36x50+$((vx + 8))+$((vy + 9))" 100 "the edit-text button stayed disabled"

# A double click on the text opens its text window; Cancel changes nothing.
read -r cx cy <<< "$(P 400 374)"
xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1
wait_window "^Tekst$"
settle
xdotool mousemove 621 534 click 1  # Annuleren
wait_gone "^Tekst$"
rest
shot uncancelled
same text uncancelled "$page_crop" "cancelling the text window changed the page"

# The page frame's margin handle (top left of the page) dragged to the
# right makes a narrower page.
read -r mx my <<< "$(P 166 165)"
shot beforeframe
xdotool mousemove $((mx + 45)) $((my + 2)) mousedown 1
for d in 60 90 120; do xdotool mousemove $((mx + d)) $((my + 2)); sleep 0.05; done
xdotool mouseup 1
rest 1
shot frame
changed beforeframe frame "480x430+$((mx))+$((my))" 5000 "the frame handle left the page as it was"

# The main colour: Cancel changes nothing, a chosen red fills the page.
click_at 582 60 1
wait_window "Kleur selecteren"
xdotool key Escape
wait_gone "Kleur selecteren"
rest
shot colourcancel
same frame colourcancel "$page_crop" "cancelling the colour chooser changed the page"
click_at 582 60 1
wait_window "Kleur selecteren"
xdotool key alt+h ctrl+a            # the HTML field
xdotool type "#ff0000"
xdotool key Return
wait_gone "Kleur selecteren"
rest
shot red
changed colourcancel red "$page_crop" 5000 "choosing red left the page's colour"

# A second copy finds the first one's caption and ends without a window.
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" timeout 20 ./morvane \
  || fail "the second copy did not end quietly"
[ "$(titles | grep -c " - Kavelo$")" -eq 1 ] || fail "a second design window opened"

# The quit button asks; Escape keeps the program, Q and OK end it.
click_at 715 33
wait_window "^Kavelo$"
settle
shot question
xdotool key Escape
wait_gone "^Kavelo$"
kill -0 "$program" 2>/dev/null || fail "Escape at the quit question ended the program"
xdotool key q
settle 0.7
xdotool key Return
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then fail "the program did not end after Q and OK"; fi
program=""
echo "real window: wizard, frame, hover, clip art, mouse editing, colours and quit behave; screenshots in $shots"
