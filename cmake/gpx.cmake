# The GPX reader parses XML with pugixml (Debian's libpugixml-dev).
find_package(pugixml REQUIRED GLOBAL)
target_link_libraries(geovanta_core PUBLIC pugixml::pugixml)
