#!/bin/bash
# Checks a built Debian package: lintian finds no error, the control fields
# say what the package needs, and the archive holds what a desktop and `man`
# look for, owned by root, with nothing of the build machine's caches in it.
# Usage: package_check.sh PACKAGE.deb
set -uo pipefail
deb=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ -f "$deb" ] || { echo "FAIL: no package '$deb'"; exit 1; }

# Errors fail; warnings and the rest are shown for whoever reads the log.
lintian --fail-on error --display-info --tag-display-limit 0 "$deb" || fail "lintian reports errors"

info=$(dpkg-deb --info "$deb") || fail "dpkg-deb --info failed"
field() { sed -n "s/^ $1: //p" <<<"$info"; }
[ "$(field Package)" = geovanta ] || fail "Package is '$(field Package)'"
[ "$(field Section)" = graphics ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Version)" ] || fail "no Version"
grep -q '^ [^ ]' <<<"$(sed -n '/^ Description:/,$p' <<<"$info" | sed 1d)" || fail "no long description"
depends=$(field Depends)
depends_names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
# ExifTool is run and the tz database read, not linked; the Qt libraries come from dpkg-shlibdeps.
for package in libimage-exiftool-perl tzdata libc6 libstdc++6 libqt6core6 libqt6widgets6; do
  grep -qxF "$package" <<<"$depends_names" || fail "Depends lacks $package: $depends"
done

contents=$(dpkg-deb --contents "$deb") || fail "dpkg-deb --contents failed"
paths=$(awk '{print $NF}' <<<"$contents" | sed 's|^\./|/|')
id=io.github.geovanta.Geovanta
for path in /usr/bin/geovanta /usr/bin/geovanta-cli \
            /usr/share/man/man1/geovanta.1.gz /usr/share/man/man1/geovanta-cli.1.gz \
            /usr/share/doc/geovanta/copyright /usr/share/doc/geovanta/changelog.gz \
            /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml \
            /usr/share/mime/packages/$id.xml /usr/share/icons/hicolor/scalable/apps/$id.svg \
            /usr/share/geovanta/zones.bin \
            /usr/share/geovanta/places/borders.bin /usr/share/geovanta/places/towns.tsv \
            /usr/share/geovanta/places/countries.tsv; do
  grep -qx "$path" <<<"$paths" || fail "missing $path"
done
grep -Eq '^/usr/lib/[^/]+/geovanta/liboziapi\.so$' <<<"$paths" || fail "missing the private liboziapi.so"
owners=$(awk '{print $2}' <<<"$contents" | sort -u | tr '\n' ' ')
[ "$owners" = "root/root " ] || fail "owners are $owners"
# The desktop's caches belong to the system and are rebuilt by its triggers.
grep -E '^/usr/share/mime/[^/]+$|^/usr/share/mime/application/|mimeinfo\.cache$|icon-theme\.cache$' <<<"$paths" &&
  fail "the package carries cache files"
grep -Ev '^/usr(/|$)|^/$' <<<"$paths" && fail "files outside /usr"
# A version raised in CMakeLists.txt needs its entry in data/changelog.
logged=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/geovanta/changelog.gz | gzip -dc |
         sed -n '1s/^geovanta (\([^)]*\)).*/\1/p')
[ "$logged" = "$(field Version)" ] || fail "the changelog's latest entry is '$logged', the package is $(field Version)"

echo "package_check: $failures problem(s) in $(basename "$deb")"
[ "$failures" -eq 0 ]
