#pragma once
// Case folding of the ASCII letters only. File extensions, settings keys and
// field names are compared this way whatever the locale, so that a Turkish or
// Russian system cannot make "JPG" and "jpg" differ or a byte of a UTF-8 name
// change.

#include <string>
#include <string_view>

namespace geovanta {

constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }
constexpr char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }

std::string asciiLower(std::string_view text);
std::string asciiUpper(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace geovanta
