#include "table/phototype.h"

#include "table/asciicase.h"

namespace geovanta {

std::string photoFileType(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of("/\\");
    if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == fileName.size()) return {};
    const std::string ext = asciiUpper(fileName.substr(dot + 1));
    if (ext == "JPG" || ext == "JPEG") return "JPEG";
    if (ext == "TIF" || ext == "TIFF") return "TIFF";
    if (ext == "HIF") return "HEIF";
    return ext;
}

bool isRawPhoto(std::string_view fileName) {
    const std::string type = photoFileType(fileName);
    for (const char* raw : {"CR3", "CR2", "CRW", "NEF", "NRW", "ARW", "SR2", "SRF", "DNG", "RAF", "ORF", "RW2", "PEF",
                            "SRW", "3FR", "IIQ"})
        if (type == raw) return true;
    return false;
}

}  // namespace geovanta
