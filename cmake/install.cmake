# What `cmake --install` puts where, under the prefix:
#   bin/geovanta, bin/geovanta-cli
#   <pkglibdir>/liboziapi.so            the OziExplorer API stand-in: a private
#                                       plug-in of the program, kept out of the
#                                       linker's search path
#   share/geovanta/zones.bin            the time zones' borders (data/timezones/)
#   share/applications/<id>.desktop
#   share/metainfo/<id>.metainfo.xml
#   share/mime/packages/<id>.xml        types for OziExplorer's .plt and .wpt
#   share/icons/hicolor/scalable/apps/<id>.svg
#   share/icons/hicolor/<n>x<n>/apps/<id>.png, rendered from the SVG
#   share/man/man1/geovanta.1.gz, geovanta-cli.1.gz
#   share/doc/geovanta/copyright, changelog.gz
#   share/geovanta/places/              the place names' data sets
# <id> and the folders come from cmake/appdata.cmake.

# Folders the install makes are 0755 whatever the umask of whoever runs it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

foreach(program geovanta geovanta-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET oziapi_standin)
  install(TARGETS oziapi_standin LIBRARY DESTINATION ${GEOVANTA_INSTALL_PKGLIBDIR})
endif()

install(FILES ${GEOVANTA_DATA_FILES} DESTINATION ${GEOVANTA_INSTALL_DATADIR})
install(FILES ${GEOVANTA_DATA_DIR}/${GEOVANTA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${GEOVANTA_DATA_DIR}/${GEOVANTA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${GEOVANTA_DATA_DIR}/${GEOVANTA_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${GEOVANTA_APP_ID}.xml)
install(FILES ${GEOVANTA_DATA_DIR}/geovanta.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${GEOVANTA_APP_ID}.svg)

list(TRANSFORM GEOVANTA_PLACE_FILES PREPEND ${GEOVANTA_DATA_DIR}/places/ OUTPUT_VARIABLE _place_files)
install(FILES ${_place_files} DESTINATION ${GEOVANTA_INSTALL_DATADIR}/places)

foreach(page ${GEOVANTA_MAN_PAGES})
  install(FILES ${GEOVANTA_DOC_BUILD_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${GEOVANTA_DATA_DIR}/copyright ${GEOVANTA_DOC_BUILD_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/geovanta)

if(GEOVANTA_RSVG_CONVERT)
  foreach(size ${GEOVANTA_ICON_SIZES})
    install(FILES ${GEOVANTA_ICON_DIR}/${size}x${size}/${GEOVANTA_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()

# A file manager learns the new types and the program's icon only from the
# caches. Package managers rebuild them in their own triggers and install
# through DESTDIR, so this runs only for a direct install.
install(CODE "set(_geovanta_datadir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}\")")
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    find_program(_update_mime update-mime-database)
    if(_update_mime)
      execute_process(COMMAND ${_update_mime} "${_geovanta_datadir}/mime"
                      OUTPUT_QUIET ERROR_QUIET)
    endif()
    find_program(_update_desktop update-desktop-database)
    if(_update_desktop)
      execute_process(COMMAND ${_update_desktop} -q "${_geovanta_datadir}/applications"
                      OUTPUT_QUIET ERROR_QUIET)
    endif()
  endif()
]])

if(TARGET geovanta AND TARGET geovanta-cli)
  add_test(NAME install_tree
           COMMAND ${CMAKE_SOURCE_DIR}/tests/install/install_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}
                   ${GEOVANTA_APP_ID} ${GEOVANTA_INSTALL_PKGLIBDIR})
  set_tests_properties(install_tree PROPERTIES ENVIRONMENT "LC_ALL=C.UTF-8;TZ=Europe/Moscow")
endif()
if(TARGET geovanta-cli)
  add_test(NAME cli_manpage
           COMMAND ${CMAKE_SOURCE_DIR}/tests/install/manpage_test.sh $<TARGET_FILE:geovanta-cli>
                   ${GEOVANTA_DATA_DIR}/geovanta-cli.1)
endif()
