#!/usr/bin/env bash
# Printing in a real X window (Xvfb with a window manager), driven with
# xdotool as a user prints: clip art and a text on a blank design, P for
# the page print window, dark fabric and cut marks chosen, OK, and Qt's
# print dialog printing to its PDF file. The PDF holds one copy at 600 dpi,
# a cut mark in the margin above the copy, and the copy as designed (not
# mirrored).
# Usage: realwindow_print.sh STAGE_DIR [SCREENSHOT_DIR]
set -euo pipefail
source "$(dirname "$0")/common.sh" "$@"

start_program
wait_window "Kies een T-shirt"
settle
xdotool mousemove 511 311 click 1   # the blank design
settle 1
title_is Untitled
category 0
clipart 0
xdotool key t
write_text "Hallo"
rest
shot design

xdotool key p
wait_window "Kies hoe u de pagina wil afdrukken"
settle
click_in "Kies hoe u de pagina wil afdrukken" 210 239 0.2  # Donkere stof (niet gespiegeld)
click_in "Kies hoe u de pagina wil afdrukken" 330 211 0.2  # Snijtekens
shot pagelayout
click_in "Kies hoe u de pagina wil afdrukken" 115 274      # OK
wait_window "^Afdrukken$"  # Qt's print dialog, in Dutch
settle
shot printdialog
xdotool key Return                  # Print, to the file the dialog proposes
pdf="$home/print.pdf"
for _ in $(seq 300); do [ -s "$pdf" ] && ! shown "^Afdrukken$" && break; sleep 0.1; done
settle 1
[ -s "$pdf" ] || fail "the print dialog wrote no PDF file"
images="$(pdfimages -list "$pdf" | tail -n +3)"
[ "$(echo "$images" | wc -l)" -eq 1 ] || fail "the sheet should hold one picture: $images"
[ "$(echo "$images" | awk '{print $13}')" -eq 600 ] || fail "the copy is not at 600 dpi: $images"
pdftoppm -r 100 -png -singlefile "$pdf" "$shots/sheet"
# A cut mark above the copy's top-left corner, in the paper's margin (the
# printable area starts 3.53 mm in, the marks 2 mm above the copy).
mark="$(convert "$shots/sheet.png" -crop 3x4+13+3 +repage -format '%[fx:minima.intensity]' info:)"
awk "BEGIN { exit !($mark < 0.2) }" || fail "no cut mark above the copy's corner ($mark)"
# Dark fabric prints as designed: the print matches the page on the screen
# better than its mirror does.
pdfimages -png "$pdf" "$shots/copy"
read -r px py <<< "$(P 203 199)"
convert "$shots/copy-000.png" -flip -resize 410x433! "$shots/copy-small.png"
convert "$shots/design.png" -crop "410x433+$px+$py" +repage "$shots/page.png"
straight="$(compare -metric RMSE "$shots/copy-small.png" "$shots/page.png" null: 2>&1 | cut -d' ' -f1 || true)"
convert "$shots/copy-small.png" -flop "$shots/copy-flopped.png"
mirrored="$(compare -metric RMSE "$shots/copy-flopped.png" "$shots/page.png" null: 2>&1 | cut -d' ' -f1 || true)"
awk "BEGIN { exit !($straight < $mirrored) }" \
  || fail "the dark-fabric print is mirrored (as designed $straight, mirrored $mirrored)"
echo "real window: printed through the page print window and Qt's print dialog; screenshots in $shots"
