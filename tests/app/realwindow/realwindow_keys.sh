#!/usr/bin/env bash
# Every key of the keyboard table, every menu item and the command buttons
# of the main view through the X server (Xvfb with a window manager,
# xdotool), each with its effect seen on the screen or in a file: layer
# order and selection, opacity from the keypad, deleting, text layers, the
# about box, help, saving and opening (a template saved unchanged is the
# same file), the wizard's template folder, the page print window closed
# by its title bar's button, a print into a PDF, print preview and set-up,
# and quitting.
# Usage: realwindow_keys.sh STAGE_DIR [SCREENSHOT_DIR]
set -euo pipefail
source "$(dirname "$0")/common.sh" "$@"

start_program
wait_window "Kies een T-shirt"
settle
xdotool mousemove 511 311 click 1   # the blank design
settle 1
title_is Untitled

# Two pictures on top of each other; the ball, added last, is in front and
# selected.
category 0
clipart 0
clipart 4
rest
shot two

# B and F, Down and Up: the ball goes behind the other picture and back.
xdotool key b; rest; shot back
changed two back "$page_crop" 500 "B left the layers in their order"
xdotool key f; rest; shot front
same two front "$page_crop" "F did not bring the picture back to the front"
xdotool key Down; rest; shot down
changed two down "$page_crop" 500 "Down left the layers in their order"
xdotool key Up; rest; shot up
same two up "$page_crop" "Up did not bring the picture back up"

# Right, Tab and Left move the selection frame between the two pictures.
xdotool key Right; rest; shot right
changed two right "$page_crop" 200 "Right left the selection where it was"
xdotool key Tab; rest; shot tab
same two tab "$page_crop" "Tab did not select the first picture again"
xdotool key Left; rest; shot left
same right left "$page_crop" "Left did not wrap to the last picture"
xdotool key Right; rest

# The keypad's minus and plus: the selected picture fades and comes back.
xdotool key KP_Subtract KP_Subtract KP_Subtract KP_Subtract KP_Subtract
rest; shot faded
changed two faded "$page_crop" 2000 "keypad minus did not fade the picture"
xdotool key KP_Add KP_Add KP_Add
rest; shot unfaded
changed faded unfaded "$page_crop" 2000 "keypad plus did not make the picture stronger"

# Delete asks; Cancel keeps the picture, OK removes it.
xdotool key Delete; answer Escape; rest; shot kept
same unfaded kept "$page_crop" "cancelling the delete question removed something"
xdotool key Delete; answer Return; rest; shot deleted
changed kept deleted "$page_crop" 2000 "Delete and OK left the picture"

# T writes a text layer, E edits it.
xdotool key t; write_text "Hallo"; rest; shot text
changed deleted text "$page_crop" 300 "T added no text"
xdotool key e; write_text "Dag"; rest; shot edited
changed text edited "$page_crop" 300 "E did not change the text"

# A: the about box until a click.
xdotool key a
wait_window "^Popup window$"
settle; shot about
changed edited about "500x400+262+184" 20000 "A showed no about box"
xdotool mousemove 512 384 click 1
wait_gone "^Popup window$"
settle
# A popup made modal after it was shown has to reach the screen every time:
# a window manager once dropped it about every other time.
for _ in $(seq 8); do
  xdotool key a; wait_window "^Popup window$"; settle 0.3
  xdotool mousemove 512 384 click 1; wait_gone "^Popup window$"; settle 0.3
done

# H, F1 and Help in the menu open the Dutch help document.
xdotool key h; settle 0.7
xdotool key F1; settle 0.7
xdotool mousemove 240 87 click 1; settle 0.5; xdotool mousemove 265 108 click 1; settle 0.7
[ "$(grep -c 'res/dhelp.pdf$' "$work/opened" 2>/dev/null)" -eq 3 ] \
  || fail "help did not open res/dhelp.pdf three times: $(cat "$work/opened" 2>/dev/null)"
# About in the menu.
xdotool mousemove 240 87 click 1; settle 0.5; xdotool mousemove 265 130 click 1
wait_window "^Popup window$"
settle; xdotool mousemove 512 384 click 1; wait_gone "^Popup window$"

# S on the new design: the save dialog offers Untitled.prt as a design; a
# name typed without an extension becomes a design file.
xdotool key s
give_name "Opslaan als" "$work/made"
answer Return
[ -f "$work/made.prt" ] || fail "S did not write made.prt"
title_is made.prt
cp "$work/made.prt" "$work/made-first.prt"
# Ctrl+S writes the design's own file at once: unchanged, the same bytes.
xdotool key ctrl+s; answer Return
cmp -s "$work/made.prt" "$work/made-first.prt" || fail "saving an unchanged design changed its file"
xdotool key KP_Subtract; xdotool key ctrl+s; answer Return
cmp -s "$work/made.prt" "$work/made-first.prt" && fail "Ctrl+S after a change wrote the old design"

# O opens a template (a copy); Ctrl+S writes it back byte for byte.
cp "res/Tmplts/Kavelos/Dinokracht.prt" "$work/template.prt"
rest; shot beforeopen
xdotool key o
give_name "Openen" "$work/template.prt"
title_is template.prt
rest; shot opened
changed beforeopen opened "$page_crop" 5000 "O opened no design"
xdotool key ctrl+s; answer Return
cmp -s "$work/template.prt" "res/Tmplts/Kavelos/Dinokracht.prt" \
  || fail "a template opened and saved unchanged is not the same file"
# Ctrl+O opens the made design again.
xdotool key ctrl+o
give_name "Openen" "$work/made.prt"
title_is made.prt

# N asks; Cancel keeps the design. Ctrl+N and OK bring the wizard, whose
# templates open the load dialog inside their folder.
xdotool key n; answer Escape
title_is made.prt
xdotool key ctrl+n; answer Return
wait_window "Kies een T-shirt"; settle
xdotool mousemove 511 452 click 1   # the templates
give_name "Openen" "Dinokracht.prt"
title_is Dinokracht.prt
rest; shot template

# W with a design: asked, then the wizard; closed with its title bar's
# button it changes nothing.
xdotool key w; answer Return
wait_window "Kies een T-shirt"; settle
wmctrl -c "Kies een T-shirt"
wait_gone "Kies een T-shirt"
rest; shot wizardclosed
same template wizardclosed "$page_crop" "closing the wizard changed the design"
title_is Dinokracht.prt

# P: the page print window; closed with its title bar's button, nothing is
# printed. Ctrl+P, OK and the print dialog: a PDF of the page, mirrored.
page_window="Kies hoe u de pagina wil afdrukken"
xdotool key p; wait_window "$page_window"; settle
wmctrl -c "$page_window"; wait_gone "$page_window"; settle 1
shown "^Afdrukken$" && fail "a closed page window still printed"
xdotool key ctrl+p; wait_window "$page_window"; settle
click_in "$page_window" 115 273
wait_window "^Afdrukken$"; settle
xdotool key alt+u ctrl+a; xdotool type "$work/print.pdf"; xdotool key Return
wait_gone "^Afdrukken$"
for _ in $(seq 50); do [ -s "$work/print.pdf" ] && break; sleep 0.1; done
pdftoppm -r 30 -png -singlefile "$work/print.pdf" "$shots/print" || fail "no PDF was printed"

# The menu's File items.
menu() { xdotool mousemove 126 87 click 1; settle 0.5; xdotool mousemove 160 $((87 + $1)) click 1; settle 0.7; }
menu 21                              # New: the question
answer Escape
menu 43                              # Open: the load dialog
wait_window "Openen"; xdotool key Escape; wait_gone "Openen"
cp "$work/template.prt" "$work/template-first.prt"
xdotool key ctrl+o; give_name "Openen" "$work/template.prt"
menu 65; answer Return               # Save: the design's own file
cmp -s "$work/template.prt" "$work/template-first.prt" || fail "Save in the menu changed the file"
menu 89                              # Print: the page print window
wait_window "$page_window"; click_in "$page_window" 334 273; wait_gone "$page_window"
menu 111                             # Print preview after the page window
wait_window "$page_window"; click_in "$page_window" 115 273
wait_window "Afdrukvoorbeeld"; settle; shot preview
wmctrl -c "Afdrukvoorbeeld"; wait_gone "Afdrukvoorbeeld"
menu 133                             # Print set-up
wait_window "Pagina-instelling"; xdotool key Escape; wait_gone "Pagina-instelling"
menu 181; answer Escape              # Exit asks; Cancel keeps the program
kill -0 "$program" 2>/dev/null || fail "Cancel at the exit question ended the program"

# The command buttons: load, save, print, preview, add text, edit text.
click_at 84 85; wait_window "Openen"; xdotool key Escape; wait_gone "Openen"
click_at 84 137; wait_window "Opslaan als"; xdotool key Escape; wait_gone "Opslaan als"
click_at 715 85; wait_window "$page_window"; click_in "$page_window" 334 273; wait_gone "$page_window"
click_at 715 138; wait_window "$page_window"; click_in "$page_window" 334 273; wait_gone "$page_window"
rest; shot beforebuttons
click_at 104 34; write_text "Knop"; rest; shot added
changed beforebuttons added "$page_crop" 300 "the add-text button added no text"
click_at 27 34; write_text "Bewerkt"; rest; shot buttonedit
changed added buttonedit "$page_crop" 300 "the edit-text button did not change the text"

# The layer buttons: the text one place back at a time until it is behind
# the dinosaur, and forward again; delete, delete all.
for _ in 1 2 3; do click_at 245 75; done
rest; shot layerdown
changed buttonedit layerdown "$page_crop" 300 "the layer-down button changed nothing"
for _ in 1 2 3; do click_at 195 75; done
rest; shot layerup
same buttonedit layerup "$page_crop" "the layer-up button did not undo the move"
click_at 196 133; answer Return; rest; shot buttondeleted
changed layerup buttondeleted "$page_crop" 300 "the delete button removed nothing"
# The opacity slider dragged to its left end.
read -r sx sy <<< "$(P 505 137)"
xdotool mousemove "$sx" "$sy" mousedown 1
for d in 50 100 150 200 240; do xdotool mousemove $((sx - d)) "$sy"; sleep 0.05; done
xdotool mouseup 1
rest; shot slid
changed buttondeleted slid "$page_crop" 1000 "the opacity slider changed nothing"
# The strips scroll with their down buttons.
click_at 689 571; rest; shot filesdown
changed slid filesdown "70x380+$((vx + 665))+$((vy + 200))" 500 "the file strip did not scroll"
click_at 110 571; rest; shot categoriesdown
changed filesdown categoriesdown "70x380+$((vx + 80))+$((vy + 200))" 500 "the category strip did not scroll"
click_at 245 133; answer Return       # delete all: the wizard follows
wait_window "Kies een T-shirt"; settle
xdotool mousemove 511 311 click 1; settle 1
title_is Untitled

xdotool key q; answer Escape
kill -0 "$program" 2>/dev/null || fail "Escape at the quit question ended the program"
xdotool key q; wait_window "^Kavelo$"; settle 0.3; xdotool key Return
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then fail "the program did not end after Q and OK"; fi
program=""
echo "real window: every key, menu item and command button acts; screenshots in $shots"
