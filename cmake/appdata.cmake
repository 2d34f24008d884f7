# The program's identity and its data files: the application id that the
# desktop entry, the metainfo, the icon and the window share, where an install
# puts the private helpers, and the icon rendered to fixed sizes (also built
# into the program for its window and About box).
include(GNUInstallDirs)

set(GEOVANTA_APP_ID io.github.geovanta.Geovanta)
set(GEOVANTA_INSTALL_PKGLIBDIR ${CMAKE_INSTALL_LIBDIR}/geovanta)
# Where the program finds its private libraries, seen from its own folder, so
# that an installed tree can be moved to another prefix as a whole.
file(RELATIVE_PATH GEOVANTA_PKGLIBDIR_FROM_BINDIR
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${GEOVANTA_INSTALL_PKGLIBDIR})

set(GEOVANTA_DATA_DIR ${CMAKE_SOURCE_DIR}/data)

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

