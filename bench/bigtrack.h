#pragma once
// A generated million-point track (about 70 MB), made once per run and kept
// in the temp folder as geovanta-bench-big.plt so that other tools can be
// timed on it.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace geovanta::bench {

inline constexpr int kBigTrackPoints = 1000000;

// One point a second from 1 December 2010, written the way the GPS software
// writes them: padded degrees, feet, days, date and time texts. Empty when
// the file cannot be written.
inline const std::string& bigTrack() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "geovanta-bench-big.plt").string();
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(file.c_str(), "wb"), &std::fclose);
        if (!out) return std::string();
        std::fputs("OziExplorer Track Point File Version 2.1\r\nWGS 84\r\nAltitude is in Feet\r\nReserved 3\r\n"
                   "0,2,255,Big,0,0,2,8421376\r\n1000000\r\n",
                   out.get());
        for (int i = 0; i < kBigTrackPoints; ++i) {
            const int s = i % 86400;
            std::fprintf(out.get(), "%12.7f,%12.7f,%d,%7.1f,%.7f,01-Dec-10, %02d:%02d:%02d\r\n", 55.0 + i * 1e-6,
                         37.0 + i * 1.5e-6, i == 0 ? 1 : 0, 400.0 + (i % 500) * 0.5, 40513.0 + i / 86400.0, s / 3600,
                         s / 60 % 60, s % 60);
        }
        return file;
    }();
    return path;
}

}  // namespace geovanta::bench
