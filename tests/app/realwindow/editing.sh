#!/usr/bin/env bash
# Editing in a real X window (Xvfb), driven with xdotool as a user drives
# it: a layer turned by its knob and the turn undone with Ctrl+Z, a layer
# dragged with the page showing it at its new place while the button is
# held, undo and redo of the move (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z), Ctrl+D,
# Ctrl+C and Ctrl+V of a layer and of another program's picture (xclip),
# quarter turns from the context menu and the Edit menu, Shift+Right and
# Ctrl+Shift+Right nudges undone, and the mouse wheel over the picture strip.
# Usage: editing.sh STAGE_DIR [SCREENSHOT_DIR]
set -euo pipefail
stage="$1"
shots="${2:-$(mktemp -d)}"
mkdir -p "$shots"

source "$(dirname "$0")/../../../tools/xvfb.sh"
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
shot() { xdotool mousemove 520 720; sleep 0.4; import -window root "$shots/$1.png"; }
# Number of pixels that differ between the same crop of two screenshots.
differ() {
  convert "$shots/$1.png" -crop "$3" +repage "$shots/crop-a.png"
  convert "$shots/$2.png" -crop "$3" +repage "$shots/crop-b.png"
  compare -metric AE "$shots/crop-a.png" "$shots/crop-b.png" null: 2>&1 | cut -d' ' -f1 || true
}
page=440x420+280+260 # the page and the frame around it
same() { # the page of two screenshots is the same (a few pixels of tolerance)
  local n; n="$(differ "$1" "$2" "$page")"
  [ "$n" -le 20 ] || fail "$3 ($n pixels differ)"
}
changed() { # the page changed by more than the number of pixels
  local n; n="$(differ "$1" "$2" "${4:-$page}")"
  [ "$n" -gt "$3" ] || fail "$5 ($n pixels changed)"
}

cd "$stage"
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" ./morvane &
program=$!
for _ in $(seq 100); do
  xdotool search --name "Kies een T-shirt" >/dev/null 2>&1 && break; sleep 0.1
done
xdotool search --name "Kies een T-shirt" >/dev/null || fail "the wizard did not open"
sleep 0.5
xdotool mousemove 511 311 click 1   # the blank design
sleep 1
shot empty
xdotool mousemove 218 410 click 1   # a category
sleep 0.7
xdotool mousemove 805 320 click 1   # its first picture
sleep 1
shot layer
changed empty layer 2000 "$page" "no picture appeared on the page"

# The knob above the frame's top turns the layer; Ctrl+Z turns it back.
xdotool mousemove 511 373 mousedown 1
for x in 540 570 600 610; do xdotool mousemove "$x" 420; sleep 0.05; done
xdotool mouseup 1
sleep 0.5
shot turned
changed layer turned 2000 "$page" "the knob did not turn the layer"
xdotool key ctrl+z
sleep 0.5
shot unturned
same layer unturned "Ctrl+Z did not take the turn back"

# While the layer is dragged up the page shows it there: where its lower
# part was, the page is empty again before the button comes up.
xdotool mousemove 511 470 mousedown 1
for y in 450 420 390 380; do xdotool mousemove 511 "$y"; sleep 0.05; done
sleep 0.3
import -window root "$shots/dragging.png"
xdotool mouseup 1
sleep 0.5
shot moved
lower=110x35+456+505
n="$(differ empty dragging "$lower")"
[ "$n" -le 20 ] || fail "the page did not show the move while dragging ($n pixels differ)"
changed layer moved 2000 "$page" "dragging did not move the picture"
xdotool key ctrl+z
sleep 0.5
shot undone
same layer undone "Ctrl+Z did not take the move back"
xdotool key ctrl+y
sleep 0.5
shot redone
same moved redone "Ctrl+Y did not make the move again"

# Ctrl+D: a copy beside the layer, and away again with Ctrl+Z.
xdotool key ctrl+d
sleep 0.7
shot duplicated
changed moved duplicated 500 "$page" "Ctrl+D showed no copy"
xdotool key ctrl+z
sleep 0.5
shot single
same moved single "Ctrl+Z did not take the copy away"

# Ctrl+Shift+Z redoes as Ctrl+Y does: the copy comes back, and goes again.
xdotool key ctrl+shift+z
sleep 0.7
shot reduplicated
same duplicated reduplicated "Ctrl+Shift+Z did not bring the copy back"
xdotool key ctrl+z
sleep 0.5

# Ctrl+C and Ctrl+V through the X clipboard: the pasted layer lands where
# Ctrl+D put its copy; Ctrl+Z takes it away.
xdotool key ctrl+c
sleep 0.3
xdotool key ctrl+v
sleep 0.7
shot pasted
same duplicated pasted "Ctrl+C and Ctrl+V did not paste the layer beside it"
xdotool key ctrl+z
sleep 0.5
shot unpasted
same moved unpasted "Ctrl+Z did not take the pasted layer away"

# A quarter turn from the page's context menu (its last item) and from
# the Edit menu look the same; each is undone.
xdotool mousemove 511 420 click 3
sleep 0.7
xdotool key Up Return
sleep 0.7
shot menuturned
changed moved menuturned 2000 "$page" "the context menu did not turn the layer"
xdotool key ctrl+z
sleep 0.5
xdotool mousemove 180 67 click 1   # Bewerken
sleep 0.7
xdotool mousemove 240 224 click 1  # 90 degrees to the right
sleep 0.7
shot editturned
same menuturned editturned "the Edit menu's turn differs from the context menu's"
xdotool key ctrl+z
sleep 0.5
shot unturned2
same moved unturned2 "Ctrl+Z did not take the quarter turn back"

# Ctrl+Shift+Right moves by ten page pixels, as ten Shift+Right do.
xdotool key ctrl+shift+Right
sleep 0.5
shot far
changed moved far 100 "$page" "Ctrl+Shift+Right did not nudge the layer"
xdotool key ctrl+z
sleep 0.3
for _ in 1 2 3 4 5 6 7 8 9 10; do xdotool key shift+Right; sleep 0.1; done
sleep 0.3
shot ten
same far ten "Ctrl+Shift+Right differs from ten Shift+Right"
for _ in 1 2 3 4 5 6 7 8 9 10; do xdotool key ctrl+z; sleep 0.1; done
sleep 0.3

# A picture another program put on the clipboard becomes a layer in the
# middle of the page, in its own colours; Ctrl+Z takes it away.
convert -size 160x120 xc:'#FFFFFF' -fill '#1E90C8' -draw 'rectangle 20,15 140,105' \
  "$shots/clipboard.png"
xclip -selection clipboard -t image/png -i "$shots/clipboard.png"
sleep 0.3
xdotool key ctrl+v
sleep 1
shot picture
centre="$(convert "$shots/picture.png" -format '%[hex:u.p{511,480}]' info:)"
[ "$centre" = "1E90C8" ] || fail "the clipboard's picture is not in the page's middle ($centre)"
xdotool key ctrl+z
sleep 0.5
shot nopicture
same moved nopicture "Ctrl+Z did not take the pasted picture away"

# Shift+Right nudges by a pixel each; five undos put the layer back.
for _ in 1 2 3 4 5; do xdotool key shift+Right; sleep 0.1; done
sleep 0.3
shot nudged
changed moved nudged 100 "$page" "Shift+Right did not nudge the layer"
for _ in 1 2 3 4 5; do xdotool key ctrl+z; sleep 0.1; done
sleep 0.3
shot unnudged
same moved unnudged "five undos did not take the nudges back"

# The wheel over the picture strip scrolls it by a picture.
strip=60x440+775+300
xdotool mousemove 805 450 click 5
sleep 0.7
shot wheeled
changed unnudged wheeled 500 "$strip" "the wheel did not scroll the strip"

xdotool key q
sleep 0.7
xdotool key Return
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then fail "the program did not end after Q and OK"; fi
program=""
echo "real window: turning, live moves, undo and redo, duplicate, nudges and the wheel behave; screenshots in $shots"
