#pragma once
// The photograph's file as the tag writer finds it just before ExifTool gets
// it: still the file that was scanned, a regular file, and writable.

#include <optional>
#include <string>

#include "table/filestamp.h"

namespace geovanta {

// The file a photograph's name leads to, symbolic links resolved; empty when
// it leads nowhere. ExifTool replaces the file it is given with a new one, so
// it is given the link's target: handed the link, it would put a copy in the
// link's place and leave the target as it was.
std::string resolvedPhotoPath(const std::string& fileName);

// The folder the photograph is written in, where ExifTool puts its
// temporary file: its target's, or its name's when that leads nowhere.
std::string photoFolder(const std::string& fileName, const std::string& resolved);

struct PhotoFile {
    std::string target;                  // the file to hand to ExifTool
    std::optional<std::string> refusal;  // why it must not be written
};

// Looks at the photograph `fileName` just before it is written. `resolved` is
// where its name led when the batch began (empty: unknown), `scanned` the
// stamp its file had when it was scanned (null: unknown). A photograph whose
// position goes into its XMP file (`written` false) may be read-only.
PhotoFile checkPhotoFile(const std::string& fileName, const std::string& resolved, const FileStamp* scanned,
                         bool written = true);

// Makes `other`, another name of the file that ExifTool has just replaced
// under the name `written`, a name of the written file again: ExifTool puts
// a new file in place of the one it writes, which parts hard links. The
// caller has checked `other` as it would before a write. The system's reason
// when it could not be done.
std::optional<std::string> relinkPhoto(const std::string& written, const std::string& other);

}  // namespace geovanta
