#pragma once
// Names in GPS files are bytes in the writer's code page; the table keeps them
// unchanged and converts only for display.

#include <cstddef>
#include <string>
#include <string_view>

namespace geovanta {

bool isValidUtf8(std::string_view bytes);

// Valid UTF-8 is returned as it is; anything else is taken as Windows-1251.
// For names read from GPS files, which legitimately are Windows-1251.
std::string displayUtf8(std::string_view bytes);

// A file name, or a name made from one, as UTF-8: each byte that is not part
// of a valid UTF-8 character shows as "\xFF". Taken as Windows-1251 instead,
// the bytes of one file's name could spell the name of another.
std::string displayFileName(std::string_view bytes);

// Cuts to `width` characters: code points for valid UTF-8, bytes otherwise,
// so a multi-byte character is never split.
std::string_view cutToWidth(std::string_view bytes, std::size_t width);

// A text quoted in a message: displayUtf8() of its first `width` characters,
// with "..." when it was longer, so that a damaged file cannot put megabytes
// into a message box.
inline constexpr std::size_t kQuotedTextWidth = 100;
std::string quotedExcerpt(std::string_view bytes, std::size_t width = kQuotedTextWidth);

}  // namespace geovanta
