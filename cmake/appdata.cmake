# The program's identity and its data files: the application id that the
# desktop entry, the metainfo, the icon and the window share, where an install
# puts the private helpers, and the icon rendered to fixed sizes (also built
# into the program for its window and About box).
include(GNUInstallDirs)

set(GEOVANTA_APP_ID io.github.geovanta.Geovanta)
set(GEOVANTA_INSTALL_PKGLIBDIR ${CMAKE_INSTALL_LIBDIR}/geovanta)
# On a multiarch system the Debian package keeps it in the architecture's own
# library folder. The path is built into the programs, so an install under
# another prefix (whose default libdir is plain lib) uses the same layout.
if(CMAKE_INSTALL_LIBDIR STREQUAL "lib" AND CMAKE_LIBRARY_ARCHITECTURE AND EXISTS /etc/debian_version)
  set(GEOVANTA_INSTALL_PKGLIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/geovanta)
endif()
# Where the program finds its private libraries, seen from its own folder, so
# that an installed tree can be moved to another prefix as a whole.
file(RELATIVE_PATH GEOVANTA_PKGLIBDIR_FROM_BINDIR
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${GEOVANTA_INSTALL_PKGLIBDIR})

set(GEOVANTA_DATA_DIR ${CMAKE_SOURCE_DIR}/data)

# The program's data sets (the time zones' borders) sit in share/geovanta
# beside the programs' folder. The build tree copies them to the same place
# seen from build/bin, so a built program finds them as an installed one does.
set(GEOVANTA_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/geovanta)
file(RELATIVE_PATH GEOVANTA_DATADIR_FROM_BINDIR
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${GEOVANTA_INSTALL_DATADIR})
set(GEOVANTA_DATA_FILES ${GEOVANTA_DATA_DIR}/timezones/zones.bin)
foreach(file ${GEOVANTA_DATA_FILES})
  get_filename_component(_name ${file} NAME)
  configure_file(${file} ${CMAKE_BINARY_DIR}/${GEOVANTA_INSTALL_DATADIR}/${_name} COPYONLY)
endforeach()
# The place names' data sets (data/places/README.md) in a folder of their own.
set(GEOVANTA_PLACE_FILES borders.bin towns.tsv countries.tsv)
set(GEOVANTA_BUILD_PLACE_DIR ${CMAKE_BINARY_DIR}/${GEOVANTA_INSTALL_DATADIR}/places)
foreach(file ${GEOVANTA_PLACE_FILES})
  configure_file(${GEOVANTA_DATA_DIR}/places/${file} ${GEOVANTA_BUILD_PLACE_DIR}/${file} COPYONLY)
endforeach()

# Fixed sizes for the menus and docks that do not scale SVG icons.
set(GEOVANTA_ICON_SIZES 16 32 48 64 128 256)
set(GEOVANTA_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
find_program(GEOVANTA_RSVG_CONVERT rsvg-convert)
if(GEOVANTA_RSVG_CONVERT)
  set(_icons)
  foreach(size ${GEOVANTA_ICON_SIZES})
    set(_png ${GEOVANTA_ICON_DIR}/${size}x${size}/${GEOVANTA_APP_ID}.png)
    add_custom_command(OUTPUT ${_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${GEOVANTA_ICON_DIR}/${size}x${size}
      COMMAND ${GEOVANTA_RSVG_CONVERT} --width ${size} --height ${size} --output ${_png} ${GEOVANTA_DATA_DIR}/geovanta.svg
      DEPENDS ${GEOVANTA_DATA_DIR}/geovanta.svg
      COMMENT "Rendering the ${size} px icon"
      VERBATIM)
    list(APPEND _icons ${_png})
  endforeach()
  add_custom_target(geovanta_icons ALL DEPENDS ${_icons})
else()
  message(WARNING "rsvg-convert not found (librsvg2-bin): only the scalable icon will be installed")
endif()


# Manual pages and the changelog, compressed the way Debian wants them: best
# compression, no name or time stamp in the header, so that the same text
# always gives the same file.
set(GEOVANTA_DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/doc)
set(GEOVANTA_MAN_PAGES geovanta.1 geovanta-cli.1)
# The pages' list of formats comes from the program's own list.
set(_compressed)
foreach(file ${GEOVANTA_MAN_PAGES} changelog)
  set(_gz ${GEOVANTA_DOC_BUILD_DIR}/${file}.gz)
  if(file STREQUAL "changelog")
    set(_make ${CMAKE_COMMAND} -E copy ${GEOVANTA_DATA_DIR}/${file} ${GEOVANTA_DOC_BUILD_DIR}/${file})
    set(_tool)
  else()
    set(_make ${CMAKE_COMMAND} -DIN=${GEOVANTA_DATA_DIR}/${file} -DOUT=${GEOVANTA_DOC_BUILD_DIR}/${file}
              -DFORMATS_TOOL=$<TARGET_FILE:geovanta-formats> -P ${CMAKE_SOURCE_DIR}/cmake/manpage.cmake)
    set(_tool geovanta-formats)
  endif()
  add_custom_command(OUTPUT ${_gz}
    COMMAND ${_make}
    COMMAND gzip -9nf ${GEOVANTA_DOC_BUILD_DIR}/${file}
    DEPENDS ${GEOVANTA_DATA_DIR}/${file} ${_tool}
    COMMENT "Making ${file}"
    VERBATIM)
  list(APPEND _compressed ${_gz})
endforeach()
add_custom_target(geovanta_docs ALL DEPENDS ${_compressed})
