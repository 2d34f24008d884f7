#pragma once
// Header lines shared by the reader tests.

#include <string_view>

#include "support/tempdir.h"

namespace geovanta::test {

// Header lines of the files the programs we read write.
inline constexpr std::string_view kPltHeader =
    "OziExplorer Track Point File Version 2.1\r\nWGS 84\r\nAltitude is in Feet\r\nReserved 3\r\n"
    "0,2,255,Track,0,0,2,8421376\r\n0\r\n";
inline constexpr std::string_view kWptHeader =
    "OziExplorer Waypoint File Version 1.1\r\nWGS 84\r\nReserved 2\r\nReserved 3\r\n";

}  // namespace geovanta::test
