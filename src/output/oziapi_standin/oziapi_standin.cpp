// A library with the exports of OziExplorer's API library, for machines
// without OziExplorer and for tests. It does nothing but write down every call
// with its arguments, one line per call, appended to the file named by
// GEOVANTA_OZIAPI_LOG. It answers "running" only while that variable is set,
// so that a person without OziExplorer sees the honest message; setting
// GEOVANTA_OZIAPI_NOT_RUNNING as well makes it answer "not running" while
// still writing the calls down.
//
// Line format: the function name, then each argument after one blank:
// integers in decimal, doubles with 17 significant digits (exact), texts in
// double quotes as given, a missing text as (null).

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "output/oziapi.h"

#if defined(_WIN32)
#define OZI_EXPORT extern "C" __declspec(dllexport)
#else
#define OZI_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

class Line {
public:
    explicit Line(const char* function) : text_(function) {}

    Line& integer(int32_t v) { return add("%ld", static_cast<long>(v)); }
    Line& real(double v) { return add("%.17g", v); }
    Line& text(char** v) {
        if (v == nullptr || *v == nullptr) {
            text_ += " (null)";
        } else {
            text_ += " \"";
            text_ += *v;
            text_ += '"';
        }
        return *this;
    }

    // Appends the line to the log; nothing happens without a log file.
    void write() const {
        const char* path = std::getenv("GEOVANTA_OZIAPI_LOG");
        if (path == nullptr || *path == '\0') return;
        if (std::FILE* f = std::fopen(path, "ab")) {
            std::fputs(text_.c_str(), f);
            std::fputc('\n', f);
            std::fclose(f);
        }
    }

private:
    Line& add(const char* format, ...) {
        char buf[64];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buf, sizeof buf, format, args);
        va_end(args);
        text_ += ' ';
        text_ += buf;
        return *this;
    }

    std::string text_;
};

bool running() {
    const char* log = std::getenv("GEOVANTA_OZIAPI_LOG");
    return log != nullptr && *log != '\0' && std::getenv("GEOVANTA_OZIAPI_NOT_RUNNING") == nullptr;
}

}  // namespace

OZI_EXPORT int32_t GEOVANTA_OZI_CALL oziFindOzi() {
    Line("oziFindOzi").write();
    return running() ? 0 : -1;
}

OZI_EXPORT int32_t GEOVANTA_OZI_CALL oziClearTrack(int32_t track) {
    Line("oziClearTrack").integer(track).write();
    return 0;
}

OZI_EXPORT int32_t GEOVANTA_OZI_CALL oziCreateTrackPoint(int32_t track, int32_t code, double lat, double lon,
                                                          double altitude, double time) {
    Line("oziCreateTrackPoint").integer(track).integer(code).real(lat).real(lon).real(altitude).real(time).write();
    return 0;
}

OZI_EXPORT int32_t GEOVANTA_OZI_CALL oziShowAllTracks() {
    Line("oziShowAllTracks").write();
    return 0;
}

OZI_EXPORT int32_t GEOVANTA_OZI_CALL oziDeleteWpByName(char** name) {
    Line("oziDeleteWpByName").text(name).write();
    return 0;
}

OZI_EXPORT int32_t GEOVANTA_OZI_CALL oziCreateWPex(char** name, int32_t arg2, double lat, double lon, double arg5,
                                                    double time, int32_t arg7, int32_t arg8, int32_t arg9,
                                                    int32_t arg10, int32_t arg11, int32_t arg12, char** arg13,
                                                    int32_t arg14, int32_t arg15, int32_t arg16, int32_t arg17,
                                                    int32_t arg18, int32_t arg19, int32_t arg20, char** fileName,
                                                    char** arg22, char** arg23) {
    Line("oziCreateWPex")
        .text(name).integer(arg2).real(lat).real(lon).real(arg5).real(time)
        .integer(arg7).integer(arg8).integer(arg9).integer(arg10).integer(arg11).integer(arg12)
        .text(arg13).integer(arg14).integer(arg15).integer(arg16)
        .integer(arg17).integer(arg18).integer(arg19).integer(arg20)
        .text(fileName).text(arg22).text(arg23)
        .write();
    return 0;
}

OZI_EXPORT int32_t GEOVANTA_OZI_CALL oziCloseApi() {
    Line("oziCloseApi").write();
    return 0;
}

// The exports must keep the exact signatures the program looks them up with.
static_assert(std::is_same_v<decltype(&oziFindOzi), geovanta::OziFindOziFn>);
static_assert(std::is_same_v<decltype(&oziClearTrack), geovanta::OziClearTrackFn>);
static_assert(std::is_same_v<decltype(&oziCreateTrackPoint), geovanta::OziCreateTrackPointFn>);
static_assert(std::is_same_v<decltype(&oziShowAllTracks), geovanta::OziShowAllTracksFn>);
static_assert(std::is_same_v<decltype(&oziDeleteWpByName), geovanta::OziDeleteWpByNameFn>);
static_assert(std::is_same_v<decltype(&oziCreateWPex), geovanta::OziCreateWPexFn>);
static_assert(std::is_same_v<decltype(&oziCloseApi), geovanta::OziCloseApiFn>);
