# A private X server (Xvfb) for the scripts that show the program: sourced,
# then start_xvfb FOLDER starts it and exports DISPLAY, stop_xvfb ends it.
# The server picks a free display itself, whatever else runs on the machine,
# and never resets: it would each time its last client (such as xdotool's
# probe below) leaves, refusing connections for a moment.

start_xvfb() {
  local file="$1/display"
  exec 3<> "$file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.1; done
  [ -s "$file" ] || { kill "$xvfb"; echo "FAIL: Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(head -1 "$file")"
  for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
}

# Gone before the next server may take its number and socket.
stop_xvfb() {
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  return 0
}
