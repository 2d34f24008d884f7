# Fails when a source file includes a header of a layer it may not use, or
# when a file outside the Qt layers includes a Qt header. Run with
#   cmake -DSOURCE_DIR=<repo>/src -P layering.cmake
#
# Each layer may include itself and what is listed for it.
set(ALLOWED_table   table)
set(ALLOWED_binding table binding)
set(ALLOWED_input   table binding input)
set(ALLOWED_output  table binding output)
set(ALLOWED_runtime table binding output runtime)
set(ALLOWED_app     table binding input output app)
set(ALLOWED_map     table map)
set(ALLOWED_ui      table binding input output runtime app map ui)
set(LAYERS table binding input output runtime app map ui)
# Layers that stay free of Qt, so the core builds and tests without it.
set(QT_FREE table binding input output app map)
# The command-line entry puts the Qt Core runtime under the app layer.
set(ENTRY_EXTRA_app_cli_main.cpp runtime)

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
