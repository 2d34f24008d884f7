#pragma once
// The XMP file beside a photograph, which takes its position instead of the
// photograph itself when the person asks for it: raw developers read such a
// file and leave the raw file alone. ExifTool creates it, or updates it
// keeping every other tag it holds.

#include <optional>
#include <string>

#include "table/filestamp.h"

namespace geovanta {

// Where positions go: into the photographs, or into the XMP file beside each,
// named IMG_0001.xmp (as ExifTool and most raw developers name it) or
// IMG_0001.CR3.xmp.
enum class Sidecars { None, BaseName, FullName };

// The XMP file of the photograph `fileName`, in the photograph's folder as
// its name gives it. With BaseName, an IMG_0001.XMP already there is taken
// when there is no IMG_0001.xmp.
std::string sidecarName(const std::string& fileName, Sidecars naming);

// The XMP file as found when a batch begins: where its name leads and its
// stamp, or nothing when it is not there yet.
struct SidecarSeen {
    std::string resolved;
    std::optional<FileStamp> stamp;
};
SidecarSeen seeSidecar(const std::string& name);

struct SidecarFile {
    std::string target;                  // the file to hand to ExifTool
    std::optional<std::string> refusal;  // why it must not be written
};

// Looks at the XMP file `name` just before it is written: it must still be
// as `seen` when the batch began (there or not, the same file, unchanged), a
// writable regular file when there, and not the photograph (`photo`, its
// stamp) under another name. A link is written through to its target.
SidecarFile checkSidecarFile(const std::string& name, const SidecarSeen& seen, const std::optional<FileStamp>& photo);

}  // namespace geovanta
