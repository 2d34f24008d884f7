#include "runtime/ozilibrary.h"

#include <QFile>

namespace geovanta {

namespace {

template <typename Fn>
bool resolveInto(QLibrary& library, const char* name, Fn& into) {
    into = reinterpret_cast<Fn>(library.resolve(name));
    return into != nullptr;
}

}  // namespace

OziLibrary::OziLibrary(const std::string& path) : library_(QFile::decodeName(path.c_str())) {}

bool OziLibrary::bind() {
    if (tried_) return bound_;
    tried_ = true;
    bound_ = library_.load() && resolveAll();
    if (!bound_) fn_ = Functions{};
    return bound_;
}

bool OziLibrary::resolveAll() {
    // All or nothing: a library missing one function is not the one we know.
    bool ok = resolveInto(library_, "oziFindOzi", fn_.findOzi);
    ok = resolveInto(library_, "oziClearTrack", fn_.clearTrack) && ok;
    ok = resolveInto(library_, "oziCreateTrackPoint", fn_.createTrackPoint) && ok;
    ok = resolveInto(library_, "oziShowAllTracks", fn_.showAllTracks) && ok;
    ok = resolveInto(library_, "oziDeleteWpByName", fn_.deleteWpByName) && ok;
    ok = resolveInto(library_, "oziCreateWPex", fn_.createWPex) && ok;
    ok = resolveInto(library_, "oziCloseApi", fn_.closeApi) && ok;
    return ok;
}

int32_t OziLibrary::findOzi() {
    if (!bind()) return -1;
    return fn_.findOzi();
}

void OziLibrary::clearTrack(int32_t track) {
    if (bind()) fn_.clearTrack(track);
}

void OziLibrary::createTrackPoint(int32_t track, int32_t code, double lat, double lon, double altitude,
                                  double time) {
    if (bind()) fn_.createTrackPoint(track, code, lat, lon, altitude, time);
}

void OziLibrary::showAllTracks() {
    if (bind()) fn_.showAllTracks();
}

void OziLibrary::deleteWpByName(char** name) {
    if (bind()) fn_.deleteWpByName(name);
}

void OziLibrary::createWPex(char** name, int32_t arg2, double lat, double lon, double arg5, double time,
                            int32_t arg7, int32_t arg8, int32_t arg9, int32_t arg10, int32_t arg11, int32_t arg12,
                            char** arg13, int32_t arg14, int32_t arg15, int32_t arg16, int32_t arg17,
                            int32_t arg18, int32_t arg19, int32_t arg20, char** fileName, char** arg22,
                            char** arg23) {
    if (bind())
        fn_.createWPex(name, arg2, lat, lon, arg5, time, arg7, arg8, arg9, arg10, arg11, arg12, arg13, arg14, arg15,
                       arg16, arg17, arg18, arg19, arg20, fileName, arg22, arg23);
}

void OziLibrary::closeApi() {
    if (bind()) fn_.closeApi();
}

}  // namespace geovanta
