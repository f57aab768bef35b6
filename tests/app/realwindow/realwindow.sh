#!/usr/bin/env bash
# The program in a real X window (Xvfb), driven with xdotool as a user
# drives it: the wizard's blank design, hovering a skin button, adding clip
# art from the two strips, dragging it on the page, writing a text layer,
# printing it to a PDF file through the page print window (dark fabric, cut
# marks) and Qt's print dialog, a second copy that must not start, and
# quitting with Q and the OK.
# Usage: realwindow.sh STAGE_DIR [SCREENSHOT_DIR]
set -euo pipefail
stage="$1"
shots="${2:-$(mktemp -d)}"
mkdir -p "$shots"

display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
home="$(mktemp -d)"
cleanup() {
  [ -n "${program:-}" ] && kill "$program" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT
export DISPLAY="$display"
# The test suite runs offscreen; this test needs the real X window.
export QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

fail() { echo "FAIL: $*" >&2; exit 1; }
shot() { import -window root "$shots/$1.png"; }
# Number of pixels that differ between the same crop of two screenshots.
differ() {
  convert "$shots/$1.png" -crop "$3" +repage "$shots/crop-a.png"
  convert "$shots/$2.png" -crop "$3" +repage "$shots/crop-b.png"
  compare -metric AE "$shots/crop-a.png" "$shots/crop-b.png" null: 2>&1 | cut -d' ' -f1 || true
}

cd "$stage"
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" ./morvane &
program=$!

# The frame (812 x 650 centred at 106, 59) with the wizard above it.
for _ in $(seq 100); do
  xdotool search --name "Kies een T-shirt" >/dev/null 2>&1 && break; sleep 0.1
done
xdotool search --name "Kies een T-shirt" >/dev/null || fail "the wizard did not open"
sleep 0.5
shot wizard
xdotool mousemove 511 311 click 1   # the blank design
sleep 1
xdotool search --name "Untitled - Kavelo" >/dev/null || fail "no main window named Untitled - Kavelo"

xdotool mousemove 520 720           # below the frame: nothing hovered
sleep 0.5
shot start
xdotool mousemove 190 166           # over the load button
sleep 0.5
shot hover
changed="$(differ start hover 150x48+115+142)"
[ "$changed" -gt 200 ] || fail "the load button shows no hover look ($changed pixels changed)"

xdotool mousemove 218 410 click 1   # a category
sleep 0.7
xdotool mousemove 805 320 click 1   # its first picture
sleep 1
xdotool mousemove 520 720
sleep 0.5
shot layer
changed="$(differ start layer 300x300+320+300)"
[ "$changed" -gt 2000 ] || fail "no picture appeared on the page ($changed pixels changed)"
changed="$(differ start layer 150x48+115+196)"
[ "$changed" -gt 200 ] || fail "the save button stayed disabled ($changed pixels changed)"

xdotool mousemove 510 470 mousedown 1  # drag the picture up by 120 pixels
for y in 450 420 390 360 350; do xdotool mousemove 510 "$y"; sleep 0.05; done
xdotool mouseup 1
sleep 0.7
xdotool mousemove 520 720
sleep 0.5
shot moved
changed="$(differ layer moved 300x340+360+280)"
[ "$changed" -gt 2000 ] || fail "dragging did not move the picture ($changed pixels changed)"

xdotool key t                       # a text layer
for _ in $(seq 50); do xdotool search --name "^Tekst$" >/dev/null 2>&1 && break; sleep 0.1; done
xdotool search --name "^Tekst$" >/dev/null || fail "T did not open the text window"
sleep 0.5
xdotool mousemove 500 330 click 1
xdotool type --delay 40 "Hallo"
xdotool mousemove 402 534 click 1
sleep 1.5
xdotool mousemove 520 720
sleep 0.5
shot text
changed="$(differ moved text 300x200+360+380)"
[ "$changed" -gt 500 ] || fail "no text appeared on the page ($changed pixels changed)"
changed="$(differ moved text 36x50+116+88)"
[ "$changed" -gt 100 ] || fail "the edit-text button stayed disabled ($changed pixels changed)"

# P asks the page layout: paper for dark fabric and cut marks, then OK; Qt's
# print dialog prints to its PDF file in the home folder.
xdotool key p
for _ in $(seq 50); do
  xdotool search --name "Kies hoe u de pagina wil afdrukken" >/dev/null 2>&1 && break; sleep 0.1
done
xdotool search --name "Kies hoe u de pagina wil afdrukken" >/dev/null || fail "P did not ask the page layout"
sleep 0.5
xdotool mousemove 497 473 click 1   # Donkere stof (niet gespiegeld)
xdotool mousemove 615 445 click 1   # Snijtekens
sleep 0.3
shot pagelayout
xdotool mousemove 402 508 click 1   # OK
for _ in $(seq 50); do xdotool search --name "^Print$" >/dev/null 2>&1 && break; sleep 0.1; done
xdotool search --name "^Print$" >/dev/null || fail "no print dialog after the page layout"
sleep 0.5
shot printdialog
xdotool key Return                  # Print, to the file the dialog proposes
pdf="$home/print.pdf"
for _ in $(seq 300); do [ -s "$pdf" ] && ! xdotool search --name "^Print$" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
[ -s "$pdf" ] || fail "the print dialog wrote no PDF file"
images="$(pdfimages -list "$pdf" | tail -n +3)"
[ "$(echo "$images" | wc -l)" -eq 1 ] || fail "the sheet should hold one picture: $images"
[ "$(echo "$images" | awk '{print $13}')" -eq 600 ] || fail "the copy is not at 600 dpi: $images"
pdftoppm -r 100 -png -singlefile "$pdf" "$shots/sheet"
# A cut mark above the copy's top-left corner, in the paper's margin (the
# printable area starts 3.53 mm in, the marks 2 mm above the copy).
mark="$(convert "$shots/sheet.png" -crop 3x4+13+3 +repage -format '%[fx:minima.intensity]' info:)"
[ "$(echo "$mark < 0.2" | bc)" -eq 1 ] || fail "no cut mark above the copy's corner ($mark)"
# Dark fabric prints as designed: the print matches the page on the screen
# better than its mirror does.
pdfimages -png "$pdf" "$shots/copy"
convert "$shots/copy-000.png" -flip -resize 405x428! "$shots/copy-small.png"
convert "$shots/text.png" -crop 405x428+309+258 +repage "$shots/page.png"
straight="$(compare -metric RMSE "$shots/copy-small.png" "$shots/page.png" null: 2>&1 | cut -d' ' -f1 || true)"
convert "$shots/copy-small.png" -flop "$shots/copy-flopped.png"
mirrored="$(compare -metric RMSE "$shots/copy-flopped.png" "$shots/page.png" null: 2>&1 | cut -d' ' -f1 || true)"
[ "$(echo "$straight < $mirrored" | bc)" -eq 1 ] \
  || fail "the dark-fabric print is mirrored (as designed $straight, mirrored $mirrored)"
# No window manager here gives the design window the keyboard back after
# Qt's dialog, as a desktop does.
xdotool search --name " - Kavelo" windowfocus --sync

# A second copy finds the first one's caption and ends without a window.
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" timeout 20 ./morvane \
  || fail "the second copy did not end quietly"
[ "$(xdotool search --name " - Kavelo" | wc -l)" -eq 1 ] || fail "a second design window opened"

xdotool key q
sleep 0.7
shot question
xdotool key Return
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then fail "the program did not end after Q and OK"; fi
program=""
echo "real window: wizard, hover, clip art, printing and quit behave; screenshots in $shots"
