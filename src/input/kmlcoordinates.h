#pragma once
// The texts of KML's positions and times, as far as they are not numbers
// and ISO 8601 times of their own.

#include <array>
#include <cstddef>
#include <string_view>

namespace geovanta {

// The numbers of one position: longitude, latitude and, when given, altitude.
using KmlNumbers = std::array<std::string_view, 3>;

// The next tuple "lon,lat[,alt]" of a <coordinates> text from `pos` on, its
// parts in `parts`; tuples stand apart by blanks, and blanks around a comma
// do not split a tuple ("8.5, 48.2"). Returns how many parts the tuple has,
// counting those past the third; 0 at the text's end.
std::size_t nextKmlTuple(std::string_view text, std::size_t& pos, KmlNumbers& parts);

// The parts of a gx:coord text "lon lat [alt]", apart by blanks (or by
// commas, as some writers put them). Returns how many there are, counting
// those past the third.
std::size_t splitKmlCoord(std::string_view text, KmlNumbers& parts);

// A date without a time of day, which KML takes for a TimeStamp: "2014",
// "2014-05", "2014-05-25". Such a time says nothing of a point's moment.
bool isDateOnly(std::string_view text);

}  // namespace geovanta
