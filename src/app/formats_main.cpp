// geovanta-formats: the list of formats as the manual pages show it, made
// at build time so that the pages name exactly the formats the programs read.
#include <iostream>
#include <string>

#include "input/fileformats.h"
#include "table/messages.h"

using namespace geovanta;

namespace {

// A manual page's text: hyphens that print as hyphens, no line starting
// with a control character.
std::string roff(std::string text) {
    std::string out;
    for (char c : text) {
        if (c == '-' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

void list(FormatKind kind) {
    for (const FileFormat& f : fileFormats()) {
        if ((kind == FormatKind::Photos) != (f.kind == FormatKind::Photos)) continue;
        std::string names;
        for (std::string_view e : f.extensions) names += (names.empty() ? "" : " ") + std::string(e);
        for (std::string_view e : f.sharedExtensions) names += (names.empty() ? "" : " ") + std::string(e);
        std::cout << ".TP\n.B " << roff(names) << "\n" << roff(textOf(f.filterName));
        if (!f.sharedExtensions.empty()) std::cout << roff(textOf(Msg::FormatByContent));
        std::cout << "\n";
    }
}

}  // namespace

int main() {
    setLanguage(Language::English);
    std::cout << ".SS GPS files\n"
                 "Any of them may also come gzip\\-compressed, with\n.B .gz\nafter the extension.\n";
    list(FormatKind::Track);
    std::cout << ".SS Photographs\n";
    list(FormatKind::Photos);
    return 0;
}
