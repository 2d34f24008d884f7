# `make package`: a Debian package of what the install rules put under /usr.
# Its Depends come from the libraries the programs link (dpkg-shlibdeps) and
# the programs they run; the documents Debian asks for (copyright, changelog,
# manual pages) are part of every install.

set(GEOVANTA_MAINTAINER "The Geovanta developers <geovanta@users.noreply.github.com>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME geovanta)
set(CPACK_PACKAGE_VENDOR "The Geovanta developers")
set(CPACK_PACKAGE_CONTACT "${GEOVANTA_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL https://github.com/geovanta/geovanta)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "geotag photographs from a GPS track")
set(CPACK_PACKAGE_DESCRIPTION [=[
Geovanta places photographs on a GPS track and writes the positions into
their EXIF GPS tags, or into XMP files beside them. It reads tracks and
waypoints from GPX, FIT, TCX, KML and KMZ, NMEA, IGC, OziExplorer (.plt
and .wpt) and location-history JSON files, any of them also compressed
with gzip, and folders of JPEG, TIFF, HEIF, AVIF and camera raw
photographs (DNG, NEF, CR2, CR3, CRW, ARW, ORF, RW2, RAF, PEF, SRW and
more), whose shooting time it reads from EXIF. Track and photograph times
are shifted by two offsets, for receivers in UTC and cameras in local
time, or a photograph's time is taken in the zone its camera recorded.
Every photograph taken between two track points gets the position
interpolated between them; any can be placed by hand on the map. Placed
and unplaced photographs show in a grid and on a map, and ExifTool writes
the positions into the files.

The program's windows are in Russian and in English, as the system's
language or the program's own setting chooses. The command-line tool
geovanta-cli does the same loading and placing for scripts and prints
the table as CSV.]=])

# The install rules use paths relative to the prefix; the package's prefix is
# /usr, installed through DESTDIR so that the rules that refresh the desktop's
# caches leave them to the package manager's triggers.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Run or read, not linked: ExifTool writes the tags, Qt's platform plug-ins,
# which Qt only recommends, are what lets the window open at all, and the
# tz database gives the rules of the zones a camera on local time keeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libimage-exiftool-perl, qt6-qpa-plugins, tzdata")
# Qt's own texts (dialog buttons) in the program's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

include(CPack)
