#pragma once
// The outside programs the windows reach: ExifTool, kept open for the tag
// write, and OziExplorer's API library. The program makes them once and
// hands them to its windows; a tag write under way holds its own share of
// ExifTool's sessions, so it outlives whatever window started it.

#include <memory>
#include <string>

namespace geovanta {

class DataTable;
class OziLibrary;
class OziTransfer;
class SessionFactory;

class ProgramTools {
public:
    // ExifTool and OziExplorer's library found beside the program; the
    // transfer reads `table`.
    explicit ProgramTools(const DataTable& table);
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
    std::shared_ptr<SessionFactory> exifTool_;
    std::unique_ptr<OziLibrary> library_;
    std::unique_ptr<OziTransfer> transfer_;
};

}  // namespace geovanta
