#include "input/kmlcoordinates.h"

#include "input/xmlpieces.h"

namespace geovanta {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isXmlBlank(text[pos])) ++pos;
    return pos;
}

}  // namespace

std::size_t nextKmlTuple(std::string_view text, std::size_t& pos, KmlNumbers& parts) {
    parts = {};
    pos = skipBlanks(text, pos);
    if (pos >= text.size()) return 0;
    std::size_t count = 0;
    for (;;) {
        const std::size_t start = pos;
        while (pos < text.size() && !isXmlBlank(text[pos]) && text[pos] != ',') ++pos;
        if (count < parts.size()) parts[count] = text.substr(start, pos - start);
        ++count;
        const std::size_t next = skipBlanks(text, pos);
        if (next >= text.size() || text[next] != ',') return count;
        pos = skipBlanks(text, next + 1);
    }
}

std::size_t splitKmlCoord(std::string_view text, KmlNumbers& parts) {
    parts = {};
    std::size_t count = 0, pos = 0;
    auto isSeparator = [](char c) { return isXmlBlank(c) || c == ','; };
    for (;;) {
        while (pos < text.size() && isSeparator(text[pos])) ++pos;
        if (pos >= text.size()) return count;
        const std::size_t start = pos;
        while (pos < text.size() && !isSeparator(text[pos])) ++pos;
        if (count < parts.size()) parts[count] = text.substr(start, pos - start);
        ++count;
    }
}

bool isDateOnly(std::string_view text) {
    static constexpr std::string_view kShape = "dddd-dd-dd";
    if (text.size() != 4 && text.size() != 7 && text.size() != 10) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (kShape[i] == 'd' ? !isDigit(text[i]) : text[i] != '-') return false;
    return true;
}

}  // namespace geovanta
