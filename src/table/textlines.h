#pragma once
// The one line splitter of the program: GPS files, the settings file and the
// output of child programs all end their lines with CR LF, LF CR, a lone CR or
// a lone LF. Works on views into one buffer, without copying.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace geovanta {

// Walks the lines of a text. A final line without an end counts; an end at
// the very end of the text opens no further line. With NulByte::EndsText a
// NUL byte ends the text, as it ends a C string; otherwise it is an ordinary
// byte of its line.
class TextLines {
public:
    enum class NulByte { EndsText, Ordinary };

    explicit TextLines(std::string_view text, NulByte nul = NulByte::EndsText) : text_(text), nul_(nul) {}

    // The next line, or false when there is none.
    bool next(std::string_view& line);
    // 1-based number of the line last returned by next().
    std::size_t lineNumber() const { return number_; }
    // Bytes of the text behind the line last returned, its end included.
    std::size_t offset() const { return pos_; }
    std::size_t size() const { return text_.size(); }

private:
    std::string_view text_;
    NulByte nul_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
    bool ended_ = false;  // a NUL or the end of the text was reached
};

// All lines of a text as copies; NUL bytes stay in their lines.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace geovanta
