#pragma once
// The outside programs the windows reach: ExifTool, kept open for the tag
// write, and OziExplorer's API library. The program's entry point makes them
// once, from the runtime's way of starting a process and its library, and
// hands them to the windows; a tag write under way holds its own share of
// ExifTool's sessions, so it outlives whatever window started it.

#include <functional>
#include <memory>
#include <string>

#include "output/childprocess.h"

namespace geovanta {

class DataTable;
class OziApi;
class OziTransfer;
class SessionFactory;

class ProgramTools {
public:
    // ExifTool found beside the program, started by `makeChild`, and
    // OziExplorer's library `ozi`; the transfer reads `table`.
    ProgramTools(const DataTable& table, ChildProcessMaker makeChild, std::unique_ptr<OziApi> ozi);
    // Closes OziExplorer's library, once.
    ~ProgramTools();
    ProgramTools(const ProgramTools&) = delete;
    ProgramTools& operator=(const ProgramTools&) = delete;

    std::shared_ptr<SessionFactory> exifTool() const { return exifTool_; }
    // Tags are written by this program instead of the ExifTool found
    // beside the program; from the next write.
    void setExifTool(const std::string& program);
    OziTransfer& ozi() { return *transfer_; }

private:
    ChildProcessMaker makeChild_;
    std::shared_ptr<SessionFactory> exifTool_;
    std::unique_ptr<OziApi> library_;
    std::unique_ptr<OziTransfer> transfer_;
};

// How the windows get their tools once the document's table exists.
using ProgramToolsMaker = std::function<std::shared_ptr<ProgramTools>(const DataTable&)>;

}  // namespace geovanta
