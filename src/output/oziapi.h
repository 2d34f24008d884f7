#pragma once
// The seven functions of OziExplorer's API library that the program uses,
// both as the library exports them (plain C functions, looked up by name) and
// as a C++ interface that the transfer commands call, so that the commands
// do not care how the library was found.
//
// Integers are 32-bit signed, doubles 64-bit. A text is a zero-terminated
// single-byte string passed by reference: the argument is the address of a
// variable that holds the address of the text. The library may only read the
// text; it gets a non-const pointer because that is how it is declared.

#include <cstdint>

#if defined(_WIN32)
#define GEOVANTA_OZI_CALL __stdcall
#else
#define GEOVANTA_OZI_CALL
#endif

namespace geovanta {

// Exported signatures. Every result but that of oziFindOzi is ignored.
extern "C" {
using OziFindOziFn = int32_t(GEOVANTA_OZI_CALL*)();
using OziClearTrackFn = int32_t(GEOVANTA_OZI_CALL*)(int32_t track);
using OziCreateTrackPointFn = int32_t(GEOVANTA_OZI_CALL*)(int32_t track, int32_t code, double lat, double lon,
                                                          double altitude, double time);
using OziShowAllTracksFn = int32_t(GEOVANTA_OZI_CALL*)();
using OziDeleteWpByNameFn = int32_t(GEOVANTA_OZI_CALL*)(char** name);
using OziCreateWPexFn = int32_t(GEOVANTA_OZI_CALL*)(
    char** name, int32_t arg2, double lat, double lon, double arg5, double time, int32_t arg7, int32_t arg8,
    int32_t arg9, int32_t arg10, int32_t arg11, int32_t arg12, char** arg13, int32_t arg14, int32_t arg15,
    int32_t arg16, int32_t arg17, int32_t arg18, int32_t arg19, int32_t arg20, char** fileName, char** arg22,
    char** arg23);
using OziCloseApiFn = int32_t(GEOVANTA_OZI_CALL*)();
}

// The library as the commands see it. Names follow the exported functions
// without their "ozi" prefix; arguments are passed through unchanged.
class OziApi {
public:
    virtual ~OziApi() = default;

    // 0 when a running OziExplorer is found; anything else means it is not
    // running, or that the library could not be used at all.
    virtual int32_t findOzi() = 0;
    virtual void clearTrack(int32_t track) = 0;
    virtual void createTrackPoint(int32_t track, int32_t code, double lat, double lon, double altitude,
                                  double time) = 0;
    virtual void showAllTracks() = 0;
    virtual void deleteWpByName(char** name) = 0;
    virtual void createWPex(char** name, int32_t arg2, double lat, double lon, double arg5, double time,
                            int32_t arg7, int32_t arg8, int32_t arg9, int32_t arg10, int32_t arg11, int32_t arg12,
                            char** arg13, int32_t arg14, int32_t arg15, int32_t arg16, int32_t arg17,
                            int32_t arg18, int32_t arg19, int32_t arg20, char** fileName, char** arg22,
                            char** arg23) = 0;
    // Does nothing when the library cannot be used.
    virtual void closeApi() = 0;
};

}  // namespace geovanta
