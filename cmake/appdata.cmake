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

# The place names' data sets (data/places/README.md). The build tree gets them
# where an install puts them, seen from the programs' folder, so a program run
# from either finds them the same way.
set(GEOVANTA_INSTALL_PKGDATADIR ${CMAKE_INSTALL_DATADIR}/geovanta)
file(RELATIVE_PATH GEOVANTA_PKGDATADIR_FROM_BINDIR
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${GEOVANTA_INSTALL_PKGDATADIR})
set(GEOVANTA_PLACE_FILES borders.bin towns.tsv countries.tsv)
cmake_path(ABSOLUTE_PATH GEOVANTA_PKGDATADIR_FROM_BINDIR BASE_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
           NORMALIZE OUTPUT_VARIABLE GEOVANTA_BUILD_PLACE_DIR)
string(APPEND GEOVANTA_BUILD_PLACE_DIR /places)
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
set(_compressed)
foreach(file ${GEOVANTA_MAN_PAGES} changelog)
  set(_gz ${GEOVANTA_DOC_BUILD_DIR}/${file}.gz)
  add_custom_command(OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E copy ${GEOVANTA_DATA_DIR}/${file} ${GEOVANTA_DOC_BUILD_DIR}/${file}
    COMMAND gzip -9nf ${GEOVANTA_DOC_BUILD_DIR}/${file}
    DEPENDS ${GEOVANTA_DATA_DIR}/${file}
    COMMENT "Compressing ${file}"
    VERBATIM)
  list(APPEND _compressed ${_gz})
endforeach()
add_custom_target(geovanta_docs ALL DEPENDS ${_compressed})
