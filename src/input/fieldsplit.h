#pragma once
// Field splitting shared by the track and waypoint readers. Both file kinds
// are plain text of unknown code page, so everything works on bytes and on
// views into the one buffer that holds the whole file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace geovanta {

// Number of occurrences of `c` in `text`, as an unsigned 16-bit count (it
// wraps like every other 16-bit counter of the readers).
uint16_t CharCount(std::string_view text, char c);

// Number of occurrences of `c` in `text`, for counting the lines of a whole
// file: many bytes at a time.
std::size_t countByte(std::string_view text, char c);

// Field `n` (1-based) of a delimited line: the text between the (n-1)-th and
// the n-th delimiter, field 1 being the text before the first one. Every
// delimiter counts, so empty fields keep their numbers; a field number past
// the line's last field gives an empty view. Blanks stay in the field.
std::string_view fieldOf(std::string_view line, char delim, int n);

// Fields 1..fields.size() of a line in one pass; missing ones are empty.
void splitFields(std::string_view line, char delim, std::span<std::string_view> fields);

}  // namespace geovanta
