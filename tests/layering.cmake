# Fails when a source file includes a header of a layer it may not use, or
# when a file outside the Qt layers includes a Qt header. Run with
#   cmake -DSOURCE_DIR=<repo>/src -P layering.cmake
#
# Each layer may include itself and what is listed for it.
set(ALLOWED_table   table)
set(ALLOWED_geo     table geo)
set(ALLOWED_binding table geo binding)
set(ALLOWED_input   table geo binding input)
set(ALLOWED_output  table geo binding output)
set(ALLOWED_runtime table geo binding output runtime)
set(ALLOWED_app     table geo binding input output app)
set(ALLOWED_map     table geo map)
set(ALLOWED_ui      table geo binding input output runtime app map ui)
set(LAYERS table geo binding input output runtime app map ui)
# Layers that stay free of Qt, so the core builds and tests without it.
set(QT_FREE table geo binding input output app map)
# The command-line entry puts the Qt Core runtime under the app layer.
set(ENTRY_EXTRA_app_cli_main.cpp runtime)
# The windows reach ExifTool and OziExplorer only through app/ (the program's
# tools, the tag write, the commands), never the layers below it; only the
# program's entry point, which puts the layers together, makes the tools.
set(WINDOW_FORBIDS output runtime)
set(WINDOW_ENTRY main.cpp)

set(problems "")
foreach(layer ${LAYERS})
  file(GLOB_RECURSE files "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(file ${files})
    file(RELATIVE_PATH rel "${SOURCE_DIR}" "${file}")
    get_filename_component(base "${file}" NAME)
    set(allowed ${ALLOWED_${layer}} ${ENTRY_EXTRA_${layer}_${base}})
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${includes})
      if(line MATCHES "#[ \t]*include[ \t]*\"([a-z_]+)/")
        set(target "${CMAKE_MATCH_1}")
        list(FIND LAYERS "${target}" known)
        list(FIND allowed "${target}" ok)
        if(known GREATER -1 AND ok EQUAL -1)
          string(APPEND problems "\n  ${rel}: ${line}  (${layer} may not use ${target})")
        endif()
        list(FIND WINDOW_FORBIDS "${target}" forbidden)
        if(layer STREQUAL "ui" AND NOT base STREQUAL WINDOW_ENTRY AND forbidden GREATER -1)
          string(APPEND problems "\n  ${rel}: ${line}  (a window may not use ${target})")
        endif()
      elseif(line MATCHES "#[ \t]*include[ \t]*<Q")
        list(FIND QT_FREE "${layer}" qtFree)
        if(qtFree GREATER -1 AND NOT base MATCHES "_main\\.cpp$")
          string(APPEND problems "\n  ${rel}: ${line}  (${layer} stays free of Qt)")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes against the layering:${problems}")
endif()
message(STATUS "Layering: every include goes down")
