#!/bin/bash
# Regenerates the example walk from the points written below:
#   walk.plt, walk.wpt   the walk as OziExplorer saves it (written by GPSBabel)
#   walk.gpx             the same track and places as GPX (written by GPSBabel)
#   photos/IMG_00NN.JPG  ten small labelled photographs (ImageMagick, ExifTool)
#
# A morning walk in Reykjavík, 16 September 2023, from Hallgrímskirkja down to
# the old town, round the pond, into the Harpa concert hall and along the shore
# to the Sun Voyager: about 2.5 km in 50 minutes. Reykjavík keeps UTC all year,
# so the camera's local time equals the GPS's UTC and both offsets stay 0.
#
# The photographs are meant to come out like this with the default tolerance
# of 300 s:
#   IMG_0001  taken at breakfast, before the track starts: stays unplaced
#   IMG_0008  taken inside Harpa, where the receiver lost the sky for 14
#             minutes (10:28:30 to 10:42:30) and its nearest points lie 420 s
#             away on either side: stays unplaced
#   all others lie between two points 30 s apart: placed
#
# Needs: gpsbabel, imagemagick, libimage-exiftool-perl, fonts-dejavu-core
# (`make examples` installs them and runs this script).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
for tool in gpsbabel convert exiftool; do
  command -v "$tool" >/dev/null || { echo "make-examples.sh: $tool is missing" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The receiver's log: a point every 30 s, altitude in metres, time in UTC.
cat >"$work/track.csv" <<'CSV'
lat,lon,alt,utc_d,utc_t
64.142100,-21.926800,38,2023/09/16,10:00:00
64.142356,-21.927145,37,2023/09/16,10:00:30
64.142611,-21.927490,35,2023/09/16,10:01:00
64.142867,-21.927836,34,2023/09/16,10:01:30
64.143123,-21.928181,32,2023/09/16,10:02:00
64.143379,-21.928526,31,2023/09/16,10:02:30
64.143634,-21.928871,30,2023/09/16,10:03:00
64.143890,-21.929217,28,2023/09/16,10:03:30
64.144147,-21.929559,27,2023/09/16,10:04:00
64.144406,-21.929888,25,2023/09/16,10:04:30
64.144666,-21.930218,23,2023/09/16,10:05:00
64.144926,-21.930547,22,2023/09/16,10:05:30
64.145185,-21.930877,20,2023/09/16,10:06:00
64.145445,-21.931206,18,2023/09/16,10:06:30
64.145705,-21.931535,17,2023/09/16,10:07:00
64.145964,-21.931865,15,2023/09/16,10:07:30
64.146205,-21.932248,14,2023/09/16,10:08:00
64.146397,-21.932766,12,2023/09/16,10:08:30
64.146590,-21.933284,11,2023/09/16,10:09:00
64.146782,-21.933802,10,2023/09/16,10:09:30
64.146975,-21.934320,9,2023/09/16,10:10:00
64.147167,-21.934838,8,2023/09/16,10:10:30
64.147360,-21.935356,7,2023/09/16,10:11:00
64.147307,-21.935752,6,2023/09/16,10:11:30
64.147038,-21.936039,6,2023/09/16,10:12:00
64.146769,-21.936326,6,2023/09/16,10:12:30
64.146500,-21.936613,6,2023/09/16,10:13:00
64.146231,-21.936900,5,2023/09/16,10:13:30
64.145962,-21.937187,5,2023/09/16,10:14:00
64.145693,-21.937474,5,2023/09/16,10:14:30
64.145424,-21.937761,5,2023/09/16,10:15:00
64.145220,-21.938105,5,2023/09/16,10:15:30
64.145342,-21.938726,5,2023/09/16,10:16:00
64.145463,-21.939347,5,2023/09/16,10:16:30
64.145584,-21.939968,5,2023/09/16,10:17:00
64.145705,-21.940589,5,2023/09/16,10:17:30
64.145826,-21.941210,5,2023/09/16,10:18:00
64.145948,-21.941832,5,2023/09/16,10:18:30
64.146134,-21.941866,5,2023/09/16,10:19:00
64.146370,-21.941453,5,2023/09/16,10:19:30
64.146606,-21.941040,6,2023/09/16,10:20:00
64.146842,-21.940627,6,2023/09/16,10:20:30
64.147078,-21.940214,6,2023/09/16,10:21:00
64.147335,-21.939896,6,2023/09/16,10:21:30
64.147617,-21.939679,6,2023/09/16,10:22:00
64.147898,-21.939463,5,2023/09/16,10:22:30
64.148180,-21.939247,5,2023/09/16,10:23:00
64.148461,-21.939030,5,2023/09/16,10:23:30
64.148642,-21.938513,5,2023/09/16,10:24:00
64.148807,-21.937947,5,2023/09/16,10:24:30
64.148972,-21.937381,5,2023/09/16,10:25:00
64.149137,-21.936816,5,2023/09/16,10:25:30
64.149302,-21.936250,4,2023/09/16,10:26:00
64.149467,-21.935684,4,2023/09/16,10:26:30
64.149632,-21.935119,4,2023/09/16,10:27:00
64.149797,-21.934553,4,2023/09/16,10:27:30
64.149943,-21.933964,4,2023/09/16,10:28:00
64.150057,-21.933335,4,2023/09/16,10:28:30
64.150000,-21.931500,4,2023/09/16,10:42:30
64.149876,-21.930881,4,2023/09/16,10:43:00
64.149753,-21.930263,4,2023/09/16,10:43:30
64.149629,-21.929644,3,2023/09/16,10:44:00
64.149505,-21.929025,3,2023/09/16,10:44:30
64.149381,-21.928407,3,2023/09/16,10:45:00
64.149247,-21.927801,3,2023/09/16,10:45:30
64.149092,-21.927220,3,2023/09/16,10:46:00
64.148937,-21.926640,3,2023/09/16,10:46:30
64.148782,-21.926059,3,2023/09/16,10:47:00
64.148628,-21.925478,3,2023/09/16,10:47:30
64.148469,-21.924904,3,2023/09/16,10:48:00
64.148292,-21.924357,3,2023/09/16,10:48:30
64.148115,-21.923811,3,2023/09/16,10:49:00
64.147938,-21.923264,3,2023/09/16,10:49:30
64.147762,-21.922718,3,2023/09/16,10:50:00
64.147588,-21.922166,3,2023/09/16,10:50:30
64.147427,-21.921595,4,2023/09/16,10:51:00
CSV

# Places marked on the way, each at the moment the walk passed it.
cat >"$work/places.csv" <<'CSV'
name,lat,lon,alt,utc_d,utc_t
Хадльгримскиркья,64.142100,-21.926800,38,2023/09/16,10:00:00
Лайкьярторг,64.147360,-21.935356,7,2023/09/16,10:11:00
Ратуша,64.146134,-21.941866,5,2023/09/16,10:19:00
Харпа,64.150057,-21.933335,4,2023/09/16,10:28:30
Солнечный странник,64.147588,-21.922166,3,2023/09/16,10:50:30
CSV

# File, camera time (local = UTC), background colour, caption.
cat >"$work/photos.csv" <<'CSV'
IMG_0001|2023:09:16 09:38:20|#8d6e63|Breakfast
IMG_0002|2023:09:16 10:00:45|#90a4ae|Hallgrímskirkja
IMG_0003|2023:09:16 10:05:10|#7986cb|Skólavörðustígur
IMG_0004|2023:09:16 10:11:20|#a1887f|Lækjartorg
IMG_0005|2023:09:16 10:15:40|#4fc3f7|Tjörnin
IMG_0006|2023:09:16 10:18:50|#9e9d24|Ráðhús
IMG_0007|2023:09:16 10:28:10|#455a64|Harpa
IMG_0008|2023:09:16 10:35:30|#6a1b9a|Inside Harpa
IMG_0009|2023:09:16 10:46:30|#0277bd|Sæbraut
IMG_0010|2023:09:16 10:50:25|#546e7a|Sólfar
CSV

cd "$work"
# The gap of more than 5 minutes starts a new segment, as a receiver that
# lost its fix would record it. OziExplorer writes names in the Windows code
# page, here the Cyrillic one.
gpsbabel -t -i unicsv -f track.csv -x track,split=5m,title=Reykjavik -o ozi,pack=1 -F walk.plt
gpsbabel -w -i unicsv -f places.csv -o ozi,codec=windows-1251 -F walk.wpt
gpsbabel -t -i unicsv -f track.csv -x track,split=5m,title=Reykjavik -x track,trk2seg \
         -w -i unicsv -f places.csv -o gpx,gpxver=1.1 -F walk.gpx
# The file's own creation time would make every run differ.
sed -i '/<metadata>/,/<\/metadata>/{/<time>/d}' walk.gpx
# As a watch or bike computer gives it, packed as bulk exports are.
gpsbabel -t -i gpx -f walk.gpx -o garmin_fit -F walk.fit
gzip -9n walk.fit

mkdir photos
while IFS='|' read -r name time colour caption; do
  number=${name#IMG_00}
  convert -size 160x120 "gradient:$colour-#20262b" -font DejaVu-Sans-Bold -fill white \
          -gravity center -pointsize 48 -annotate +0-8 "$number" \
          -font DejaVu-Sans -pointsize 13 -annotate +0+36 "$caption" \
          -gravity north -pointsize 11 -annotate +0+4 "${time#* }" \
          -strip -quality 80 "photos/$name.JPG"
  exiftool -q -overwrite_original -Make=Geovanta -Model="Example walk" \
           -DateTimeOriginal="$time" -CreateDate="$time" -OffsetTimeOriginal=+00:00 \
           -ImageDescription="$caption" "photos/$name.JPG"
done <photos.csv

rm -rf "$here/photos"
mv walk.plt walk.wpt walk.gpx walk.fit.gz photos "$here/"
echo "make-examples.sh: wrote walk.plt, walk.wpt, walk.gpx, walk.fit.gz and $(ls "$here/photos" | wc -l) photos in $here"
