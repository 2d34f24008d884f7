#!/bin/bash
# Retakes docs/cameras.png: the example walk's photographs as taken by two
# bodies of one model and a phone, and the offsets dialog over the grid.
# Needs what docs/screenshots.sh needs, and exiftool. Run after `make build`.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi
work=$(mktemp -d)
pid=
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
cp -R examples "$work/examples"
cp -R build/bin "$work/bin"
photos="$work/examples/photos"
exiftool -q -overwrite_original -Make=Canon "-Model=Canon EOS R5" -SerialNumber=032021001234 \
  "$photos"/IMG_000{1,2,3,4}.JPG
exiftool -q -overwrite_original -Make=Canon "-Model=Canon EOS R5" -SerialNumber=032021005678 \
  "$photos"/IMG_000{5,6,7}.JPG
exiftool -q -overwrite_original -Make=Apple "-Model=iPhone 15" "$photos"/IMG_000{8,9}.JPG "$photos"/IMG_0010.JPG
# The first body's clock kept from an earlier trip: 1 h 3 min 20 s fast.
printf '[Setting]\r\nMapTiles=\r\nLanguage=ru\r\n[Cameras]\r\nCamera.a=-0.0439814814814815;0;Canon;Canon EOS R5;032021001234\r\n' \
  > "$work/bin/Geovanta.ini"
LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb "$work/bin/geovanta" \
  "$work/examples/walk.plt" "$work/examples/walk.wpt" "$photos" &
pid=$!
sleep 4
wid=$(xdotool search --name '^Geovanta$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$wid")"
# Somewhat below the window: the dialog's buttons stand out of it.
crop="${WIDTH}x$((HEIGHT + 40))+${X}+${Y}"
# Photographs alone ("Вид" → "Только фото"), the grid scrolled to its last
# column, Камера, then the dialog moved down to leave the column in sight.
xdotool mousemove $((X + 160)) $((Y + 8)) click 1
sleep 0.5
xdotool key Cyrillic_ef
sleep 0.5
xdotool mousemove $((X + 160)) $((Y + 92)) click 1
sleep 0.5
xdotool key End
sleep 0.5
xdotool windowfocus --sync "$wid" key ctrl+t
sleep 2
dialog=$(xdotool search --name '^Смещение даты и времени$' | head -1)
xdotool windowmove "$dialog" $((X + 250)) $((Y + 286))
sleep 1
import -window root -crop "$crop" docs/cameras.png
