#!/bin/sh
# The yardstick for BM_TagWriterBatch: one `exiftool -geotag` run that tags
# the same 200 small JPEGs from a GPX track. Prints the seconds for the run and
# per photograph. Needs ImageMagick, exiftool and python3.
set -eu
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
mkdir photos
convert -size 64x48 xc:gray base.jpg
python3 - <<'PY'
import datetime, shutil
start = datetime.datetime(2024, 5, 1, 10, 0, 0)
with open('args.txt', 'w') as a:
    for i in range(200):
        f = f'photos/IMG_{1000 + i}.JPG'
        shutil.copy('base.jpg', f)
        t = start + datetime.timedelta(seconds=10 * i)
        a.write(f'-overwrite_original\n-DateTimeOriginal={t:%Y:%m:%d %H:%M:%S}\n{f}\n-execute\n')
with open('track.gpx', 'w') as g:
    g.write('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<gpx version="1.1" creator="bench" xmlns="http://www.topografix.com/GPX/1/1">\n<trk><trkseg>\n')
    for i in range(-1, 202):
        t = start + datetime.timedelta(seconds=10 * i)
        g.write(f'<trkpt lat="{55.75 + i * 1e-4:.6f}" lon="{37.61 + i * 1e-4:.6f}">'
                f'<ele>{150 + i * 0.3:.1f}</ele><time>{t:%Y-%m-%dT%H:%M:%SZ}</time></trkpt>\n')
    g.write('</trkseg></trk>\n</gpx>\n')
PY
exiftool -q -q -@ args.txt >/dev/null
start=$(date +%s.%N)
TZ=UTC exiftool -q -overwrite_original -P -geotag track.gpx photos
end=$(date +%s.%N)
python3 -c "t = $end - $start; print(f'exiftool -geotag: {t:.2f} s for 200 photos, {t * 1000 / 200:.1f} ms per photo')"
