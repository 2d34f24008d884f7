#pragma once
// The million-point walk the reader benchmarks load, written once per run
// into the temporary folder as an OziExplorer track (about 70 MB) and as a
// GPX file (about 110 MB). Both hold the same points: one a second from
// 1 December 2010, the elevation in feet in the track and in metres in the
// GPX file. The files stay behind so that other tools can be timed on them.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace geovanta::bench {

inline constexpr int kBigFilePoints = 1000000;

struct WalkPoint {
    double lat, lon, elevFeet;
    int second;  // since 2010-12-01 00:00:00 UTC
};

inline WalkPoint walkPoint(int i) {
    return {55.0 + i * 1e-6, 37.0 + i * 1.5e-6, 400.0 + (i % 500) * 0.5, i};
}

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

inline std::string benchFilePath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// Padded degrees, feet, days, date and time texts, as the GPS software
// writes them.
inline const std::string& bigTrackFile() {
    static const std::string path = [] {
        const std::string file = benchFilePath("geovanta-bench-big.plt");
        File out(std::fopen(file.c_str(), "wb"), &std::fclose);
        if (!out) return std::string();
        std::fputs("OziExplorer Track Point File Version 2.1\r\nWGS 84\r\nAltitude is in Feet\r\nReserved 3\r\n"
                   "0,2,255,Big,0,0,2,8421376\r\n1000000\r\n",
                   out.get());
        for (int i = 0; i < kBigFilePoints; ++i) {
            const WalkPoint p = walkPoint(i);
            const int s = p.second % 86400;
            std::fprintf(out.get(), "%12.7f,%12.7f,%d,%7.1f,%.7f,01-Dec-10, %02d:%02d:%02d\r\n", p.lat, p.lon,
                         i == 0 ? 1 : 0, p.elevFeet, 40513.0 + p.second / 86400.0, s / 3600, s / 60 % 60, s % 60);
        }
        return file;
    }();
    return path;
}

// Nine decimals of a degree and three of a metre, one element a line, as
// GPSBabel writes them.
inline const std::string& bigGpxFile() {
    static const std::string path = [] {
        const std::string file = benchFilePath("geovanta-bench-big.gpx");
        File out(std::fopen(file.c_str(), "wb"), &std::fclose);
        if (!out) return std::string();
        std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<gpx version=\"1.1\" creator=\"Geovanta bench\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
                   "<trk>\n<name>Big</name>\n<trkseg>\n",
                   out.get());
        for (int i = 0; i < kBigFilePoints; ++i) {
            const WalkPoint p = walkPoint(i);
            const int s = p.second % 86400;
            std::fprintf(out.get(),
                         "<trkpt lat=\"%.9f\" lon=\"%.9f\">\n<ele>%.3f</ele>\n"
                         "<time>2010-12-%02dT%02d:%02d:%02dZ</time>\n</trkpt>\n",
                         p.lat, p.lon, p.elevFeet * 0.3048, 1 + p.second / 86400, s / 3600, s / 60 % 60, s % 60);
        }
        std::fputs("</trkseg>\n</trk>\n</gpx>\n", out.get());
        return file;
    }();
    return path;
}

}  // namespace geovanta::bench
