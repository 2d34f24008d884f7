#!/bin/bash
# Retakes the README's screenshots: the program on fresh copies of the example
# walk, under Xvfb, driven with xdotool (Debian packages xvfb, xdotool and
# imagemagick). Run from the repository after `make build`.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi
rm -rf build/examples && cp -R examples build/examples
# No settings of an earlier run: the first-run window, without a tile server,
# in the language given.
settings=$(mktemp -d)
cp -R build/bin "$settings/bin"
pid=
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf "$settings"' EXIT
start() {
  printf '[Setting]\r\nMapTiles=\r\nLanguage=%s\r\n' "$1" > "$settings/bin/Geovanta.ini"
  LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb "$settings/bin/geovanta" \
    build/examples/walk.plt build/examples/walk.wpt build/examples/photos &
  pid=$!
  sleep 4
}

# The English window first, on the same walk, beside the Russian one in the README.
start en
wid=$(xdotool search --name '^Geovanta$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$wid")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" docs/screenshot-en.png
kill $pid
wait $pid 2>/dev/null || true

start ru
wid=$(xdotool search --name '^Geovanta$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$wid")"
crop="${WIDTH}x${HEIGHT}+${X}+${Y}"
import -window root -crop "$crop" docs/screenshot.png
# A placed photograph picked in the grid, the map zoomed about it, its reason shown.
xdotool mousemove $((X + 140)) $((Y + 372)) click 1
sleep 1
xdotool mousemove $((X + 880)) $((Y + 380)) click 4 click 4
sleep 1
xdotool mousemove $((X + 150)) $((Y + 373))
sleep 2
import -window root -crop "$crop" docs/placed.png
# IMG_0008, taken inside the concert hall, dragged from the tray under the map
# onto the hall, then the mouse rested on its new mark.
xdotool mousemove $((X + 1129)) $((Y + 86)) click 1
sleep 1
xdotool mousemove $((X + 696)) $((Y + 681)) mousedown 1
for step in "706 670" "760 560" "830 360" "875 200" "881 176" "881 172"; do
  set -- $step
  xdotool mousemove $((X + $1)) $((Y + $2))
  sleep 0.3
done
xdotool mouseup 1
sleep 1
xdotool mousemove $((X + 870)) $((Y + 190)) mousemove $((X + 881)) $((Y + 179))
sleep 3
import -window root -crop "$crop" docs/hand.png
# The "Запись" menu open, its choices as a first run has them: Alt reaches
# the menu bar, four steps right lead to it.
xdotool key Escape
xdotool mousemove $((X + 400)) $((Y + 500)) click 1
sleep 1
xdotool key alt
sleep 0.5
xdotool key Right Right Right Right Down
sleep 1
import -window root -crop "$crop" docs/writemenu.png
