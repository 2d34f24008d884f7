#pragma once
// Line and field splitting shared by the track and waypoint readers. Both file
// kinds are plain text of unknown code page, so everything works on bytes and
// on views into the one buffer that holds the whole file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace geovanta {

// Number of occurrences of `c` in `text`, as an unsigned 16-bit count (it
// wraps like every other 16-bit counter of the readers).
uint16_t CharCount(std::string_view text, char c);

// Field `n` (1-based) of a delimited line: the text between the (n-1)-th and
// the n-th delimiter, field 1 being the text before the first one. Every
// delimiter counts, so empty fields keep their numbers; a field number past
// the line's last field gives an empty view. Blanks stay in the field.
std::string_view fieldOf(std::string_view line, char delim, int n);

// Fields 1..fields.size() of a line in one pass; missing ones are empty.
void splitFields(std::string_view line, char delim, std::span<std::string_view> fields);

// Walks the lines of a text without copying them. Lines end with CR LF, a lone
// CR or a lone LF; a NUL byte ends the text. A final line without an end
// counts; an end at the very end of the text opens no further line.
class TextLines {
public:
    explicit TextLines(std::string_view text) : text_(text) {}

    // The next line, or false when there is none.
    bool next(std::string_view& line);
    // 1-based number of the line last returned by next().
    std::size_t lineNumber() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
    bool ended_ = false;  // a NUL or the end of the text was reached
};

// Largest file the readers take whole; far beyond any real GPS log, and small
// enough that a mistaken pick (a disk image, a video) fails at once instead of
// exhausting memory.
inline constexpr uint64_t kMaxWholeFileBytes = uint64_t{1} << 30;

// Reads a whole regular file byte for byte into `bytes`, as long as it was
// when opened. Returns the error message instead: cannotOpenMessage() when
// the file cannot be opened or read (missing, a folder, a device or pipe, no
// permission), tooLargeMessage() above kMaxWholeFileBytes.
std::optional<std::string> readWholeFile(const std::string& path, std::string& bytes);

// "Cannot open file <path>"
std::string cannotOpenMessage(const std::string& path);
// "File <path> is too large (more than 1024 MB)"
std::string tooLargeMessage(const std::string& path);
// "List index out of bounds (<index>)"
std::string listIndexMessage(std::size_t index);

}  // namespace geovanta
