#pragma once
// OziExplorer's API library, loaded from the path it is given the first time
// it is needed.
// A library that cannot be loaded, or lacks one of the seven functions, is
// treated like an OziExplorer that is not running: findOzi() gives -1, the
// other calls do nothing.

#include <QLibrary>
#include <string>

#include "output/oziapi.h"

namespace geovanta {

class OziLibrary : public OziApi {
public:
    explicit OziLibrary(const std::string& path);
    OziLibrary(const OziLibrary&) = delete;
    OziLibrary& operator=(const OziLibrary&) = delete;

    // Loads the library on first call; true when all seven functions were found.
    bool bind();
    // The loader's reason when bind() failed, for diagnostics.
    QString errorString() const { return library_.errorString(); }

    int32_t findOzi() override;
    void clearTrack(int32_t track) override;
    void createTrackPoint(int32_t track, int32_t code, double lat, double lon, double altitude,
                          double time) override;
    void showAllTracks() override;
    void deleteWpByName(char** name) override;
    void createWPex(char** name, int32_t arg2, double lat, double lon, double arg5, double time, int32_t arg7,
                    int32_t arg8, int32_t arg9, int32_t arg10, int32_t arg11, int32_t arg12, char** arg13,
                    int32_t arg14, int32_t arg15, int32_t arg16, int32_t arg17, int32_t arg18, int32_t arg19,
                    int32_t arg20, char** fileName, char** arg22, char** arg23) override;
    void closeApi() override;

private:
    struct Functions {
        OziFindOziFn findOzi = nullptr;
        OziClearTrackFn clearTrack = nullptr;
        OziCreateTrackPointFn createTrackPoint = nullptr;
        OziShowAllTracksFn showAllTracks = nullptr;
        OziDeleteWpByNameFn deleteWpByName = nullptr;
        OziCreateWPexFn createWPex = nullptr;
        OziCloseApiFn closeApi = nullptr;
    };

    bool resolveAll();

    QLibrary library_;
    Functions fn_;
    bool tried_ = false;
    bool bound_ = false;
};

}  // namespace geovanta
