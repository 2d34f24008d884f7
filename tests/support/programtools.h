#pragma once
// The program's tools as its entry point makes them, for window tests: the
// real ExifTool as a kept process, the stand-in OziExplorer library.

#include <memory>

#include "app/programpaths.h"
#include "app/programtools.h"
#include "runtime/keptprocess.h"
#include "runtime/ozilibrary.h"

namespace geovanta::test {

inline std::shared_ptr<ProgramTools> programTools(const DataTable& table) {
    return std::make_shared<ProgramTools>(table, KeptProcess::maker(),
                                          std::make_unique<OziLibrary>(defaultOziLibraryPath()));
}

}  // namespace geovanta::test
