#include "ui/programtools.h"

#include "app/programpaths.h"
#include "output/exiftoolsession.h"
#include "output/ozitransfer.h"
#include "runtime/keptprocess.h"
#include "runtime/ozilibrary.h"

namespace geovanta {

ProgramTools::ProgramTools(const DataTable& table)
    : exifTool_(std::make_shared<ExifToolSessions>(defaultExifToolPath(), KeptProcess::maker())),
      library_(std::make_unique<OziLibrary>(defaultOziLibraryPath())),
      transfer_(std::make_unique<OziTransfer>(*library_, table)) {}

ProgramTools::~ProgramTools() { transfer_->shutdown(); }

void ProgramTools::setExifTool(const std::string& program) {
    exifTool_ = std::make_shared<ExifToolSessions>(program, KeptProcess::maker());
}

}  // namespace geovanta
