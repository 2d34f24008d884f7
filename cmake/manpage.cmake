# Makes a manual page from its source: @FORMATS@ becomes the list of formats
# the programs read, as geovanta-formats prints it from the one list.
#   cmake -DIN=<page> -DOUT=<page> -DFORMATS_TOOL=<geovanta-formats> -P manpage.cmake
execute_process(COMMAND ${FORMATS_TOOL} OUTPUT_VARIABLE formats RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${FORMATS_TOOL} failed")
endif()
file(READ ${IN} page)
string(REPLACE "@FORMATS@\n" "${formats}" page "${page}")
file(WRITE ${OUT} "${page}")
