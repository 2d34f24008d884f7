#pragma once
// The kind of a photograph's file as a person calls it, told by its
// extension: "JPEG", "TIFF", "HEIF", else the extension itself in capitals
// ("CR3", "HEIC", "NEF"). Messages name it where the file's own name is not
// shown beside them: the grid shows a photograph's name without extension,
// and a raw file and the JPEG taken with it share that name.

#include <string>
#include <string_view>

namespace geovanta {

// Empty for a name without an extension.
std::string photoFileType(std::string_view fileName);

// A camera's raw file (CR3, NEF, DNG, RAF...), told by its extension: the
// kind a raw developer keeps its edits for in an XMP file beside it. JPEG,
// TIFF and the HEIF family are finished pictures.
bool isRawPhoto(std::string_view fileName);

}  // namespace geovanta
