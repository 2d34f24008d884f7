#pragma once
// The million-point walk the reader benchmarks load, written once per run
// into the temporary folder as an OziExplorer track (about 70 MB), as a
// GPX file (about 110 MB) and as a FIT activity (about 22 MB). Both hold the same points: one a second from
// 1 December 2010, the elevation in feet in the track and in metres in the
// GPX file. The files stay behind so that other tools can be timed on them.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "input/fitreader.h"

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

// A bike computer's records: time, position, altitude (field 2, metres
// scaled by 5 from -500), distance, speed and heart rate, little-endian.
inline const std::string& bigFitFile() {
    static const std::string path = [] {
        const std::string file = benchFilePath("geovanta-bench-big.fit");
        std::string data;
        const auto put = [&data](uint64_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) data += static_cast<char>(value >> (8 * i));
        };
        // file_id: an activity
        data += std::string("\x40\x00\x00\x00\x00\x01\x00\x01\x00", 9);
        data += std::string("\x00\x04", 2);
        // record: 253 time, 0 lat, 1 lon, 2 altitude, 5 distance, 6 speed, 3 heart rate
        data += std::string("\x41\x00\x00\x14\x00\x07", 6);
        data += std::string("\xFD\x04\x86\x00\x04\x85\x01\x04\x85\x02\x02\x84\x05\x04\x86\x06\x02\x84\x03\x01\x02", 21);
        const int64_t start = 1291161600 - 631065600;  // 2010-12-01 00:00 UTC in FIT seconds
        for (int i = 0; i < kBigFilePoints; ++i) {
            const WalkPoint p = walkPoint(i);
            data += '\x01';
            put(static_cast<uint64_t>(start + p.second), 4);
            put(static_cast<uint32_t>(static_cast<int32_t>(p.lat * 2147483648.0 / 180.0)), 4);
            put(static_cast<uint32_t>(static_cast<int32_t>(p.lon * 2147483648.0 / 180.0)), 4);
            put(static_cast<uint64_t>((p.elevFeet * 0.3048 + 500) * 5 + 0.5), 2);
            put(static_cast<uint64_t>(i) * 420, 4);
            put(4200, 2);
            put(120 + i % 40, 1);
        }
        std::string header = std::string("\x0E\x20\x08\x08", 4);
        for (int i = 0; i < 4; ++i) header += static_cast<char>(data.size() >> (8 * i));
        header += ".FIT";
        const uint16_t headerCrc = fitCrc(header);
        header += {static_cast<char>(headerCrc), static_cast<char>(headerCrc >> 8)};
        const uint16_t crc = fitCrc(data, fitCrc(header));
        data += {static_cast<char>(crc), static_cast<char>(crc >> 8)};
        File out(std::fopen(file.c_str(), "wb"), &std::fclose);
        if (!out || std::fwrite(header.data(), 1, header.size(), out.get()) != header.size() ||
            std::fwrite(data.data(), 1, data.size(), out.get()) != data.size())
            return std::string();
        return file;
    }();
    return path;
}

}  // namespace geovanta::bench
