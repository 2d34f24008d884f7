#pragma once
// The XMP file beside a photograph, which takes its position instead of the
// photograph itself when the person asks for it: raw developers read such a
// file and leave the raw file alone. ExifTool updates it, keeping every other
// tag it holds; a new one this program makes first.

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

// The XMP file as found when a batch begins: its name with the folders on
// the way resolved (empty when they could not be), and the stamp of what
// has that name itself, a link not followed; nothing when nothing has it yet.
struct SidecarSeen {
    std::string resolved;
    std::optional<FileStamp> stamp;
};
SidecarSeen seeSidecar(const std::string& name);

struct SidecarFile {
    std::string target;                  // the file to hand to ExifTool
    std::optional<std::string> refusal;  // why it must not be written
    bool isNew = false;                  // nothing has its name: createSidecarFile() first
};

// Looks at the XMP file `name` just before it is written: it must still be
// as `seen` when the batch began (there or not, the same file, unchanged, in
// the same folder), and, when there, a writable regular file with no other
// name. ExifTool writes through whatever has the name, so a symbolic link
// (wherever it leads, if anywhere), a hard link, a folder, pipe or device is
// refused: written, it would change or make a file outside the photograph's
// folder, or another photograph.
SidecarFile checkSidecarFile(const std::string& name, const SidecarSeen& seen, const std::optional<FileStamp>& photo);

// Makes the new XMP file `path` holding an empty XMP packet, for ExifTool to
// fill in: made here, with no link followed and nothing overwritten, a link
// put in its place meanwhile cannot lead ExifTool's new file elsewhere.
// Its stamp, or the reason it could not be made in `error`.
std::optional<FileStamp> createSidecarFile(const std::string& path, std::string& error);

// Removes the XMP file `path` that createSidecarFile() made as `made` when
// ExifTool did not write it, so that no empty one is left; anything else
// that has its name by now is left alone.
void removeUnwrittenSidecar(const std::string& path, const FileStamp& made);

}  // namespace geovanta
