#include "app/programtools.h"

#include "app/programpaths.h"
#include "output/exiftoolsession.h"
#include "output/oziapi.h"
#include "output/ozitransfer.h"

namespace geovanta {

ProgramTools::ProgramTools(const DataTable& table, ChildProcessMaker makeChild, std::unique_ptr<OziApi> ozi)
    : makeChild_(std::move(makeChild)),
      exifTool_(std::make_shared<ExifToolSessions>(defaultExifToolPath(), makeChild_)),
      library_(std::move(ozi)),
      transfer_(std::make_unique<OziTransfer>(*library_, table)) {}

ProgramTools::~ProgramTools() { transfer_->shutdown(); }

void ProgramTools::setExifTool(const std::string& program) {
    exifTool_ = std::make_shared<ExifToolSessions>(program, makeChild_);
}

}  // namespace geovanta
