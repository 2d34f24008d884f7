#!/bin/bash
# Installs the build into a temporary prefix and checks what a desktop gets
# from it: the programs and the stand-in library, a desktop entry and metainfo
# that the freedesktop validators accept and that agree with each other, icons
# of the sizes their folders claim, and a type for every file type claimed.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR APP_ID PKGLIBDIR
set -uo pipefail
build=$1 source=$2 id=$3 pkglibdir=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  fail "cmake --install exited with an error"
  exit 1
fi

# Only the two programs: the exiftool link of the build folder must not land in
# bin/, where it would clash with the system's own exiftool under /usr.
installed_bin=$(cd "$prefix/bin" && ls | tr '\n' ' ')
[ "$installed_bin" = "geovanta geovanta-cli " ] || fail "bin/ holds '$installed_bin'"
for program in geovanta geovanta-cli; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done
# The installed tool runs on its own, without the build tree beside it.
if ! "$prefix/bin/geovanta-cli" "$source/examples/walk.plt" "$source/examples/photos" >"$work/table.csv" 2>&1; then
  fail "installed geovanta-cli failed: $(head -3 "$work/table.csv")"
fi

# The place names' data sets, the same files as the sources hold.
for file in borders.bin towns.tsv countries.tsv; do
  cmp -s "$source/data/places/$file" "$prefix/share/geovanta/places/$file" ||
    fail "share/geovanta/places/$file is missing or differs"
done

library=$prefix/$pkglibdir/liboziapi.so
if [ -f "$library" ]; then
  for fn in oziFindOzi oziClearTrack oziCreateTrackPoint oziShowAllTracks oziDeleteWpByName oziCreateWPex oziCloseApi; do
    nm -D --defined-only "$library" | grep -qw "$fn" || fail "liboziapi.so does not export $fn"
  done
else
  fail "missing $pkglibdir/liboziapi.so"
fi

# The data sets, the same bytes as the source tree's.
cmp -s "$prefix/share/geovanta/zones.bin" "$source/data/timezones/zones.bin" ||
  fail "share/geovanta/zones.bin is missing or differs from data/timezones/zones.bin"

desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
[ -f "$desktop" ] || fail "missing share/applications/$id.desktop"
[ -f "$metainfo" ] || fail "missing share/metainfo/$id.metainfo.xml"

# Hints are advice; errors and warnings are not.
if [ -f "$desktop" ]; then
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
  grep -E ': (error|warning):' <<<"$out" && fail "desktop-file-validate complains"
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$prefix/bin/$exec_program" ] || fail "Exec names '$exec_program', which is not installed"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ "$icon" = "$id" ] || fail "Icon is '$icon', not the application id"
  for type in $(sed -n 's/^MimeType=//p' "$desktop" | tr ';' ' '); do
    [ -f "$prefix/share/mime/$type.xml" ] || [ -f "/usr/share/mime/$type.xml" ] ||
      fail "MimeType $type is known neither to the system nor to the installed types"
  done
fi
if [ -f "$metainfo" ]; then
  out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
  grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
fi
# The tree as a software centre reads it: metainfo, desktop entry and icon together.
out=$(appstreamcli validate-tree --no-net "$prefix" 2>&1) || fail "appstreamcli validate-tree: $out"

icons=$prefix/share/icons/hicolor
[ -f "$icons/scalable/apps/$id.svg" ] || fail "missing the scalable icon"
pngs=0
for png in "$icons"/*x*/apps/"$id".png; do
  [ -f "$png" ] || continue
  pngs=$((pngs + 1))
  folder=$(basename "$(dirname "$(dirname "$png")")")
  size=$(identify -format '%wx%h' "$png" 2>/dev/null)
  [ "$size" = "$folder" ] || fail "$folder icon is $size"
done
[ "$pngs" -ge 3 ] || fail "only $pngs rendered icon sizes installed"

echo "install_tree: $failures problem(s) in $(find "$prefix" -type f | wc -l) installed files"
[ "$failures" -eq 0 ]
