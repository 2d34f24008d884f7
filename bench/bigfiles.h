#pragma once
// The million-point walk the reader benchmarks load, written once per run
// into the temporary folder as an OziExplorer track (about 70 MB), as a GPX
// file (about 110 MB), as a FIT activity (about 22 MB), as a TCX file (about
// 460 MB) and as a KML file (about 90 MB). All hold the same points: one a
// second from 1 December 2010, the elevation in feet in the track and in
// metres in the others. The files stay behind so that other tools can be
// timed on them.

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

// An ISO 8601 time of a walk point, "2010-12-01T08:15:00Z".
inline std::string walkTime(int second) {
    char text[32];
    const int s = second % 86400;
    std::snprintf(text, sizeof text, "2010-12-%02dT%02d:%02d:%02dZ", 1 + second / 86400, s / 3600, s / 60 % 60, s % 60);
    return text;
}

// As a watch's activity is exported: one lap an hour, each point with its
// distance and heart rate, indented two blanks a level.
inline const std::string& bigTcxFile() {
    static const std::string path = [] {
        const std::string file = benchFilePath("geovanta-bench-big.tcx");
        File out(std::fopen(file.c_str(), "wb"), &std::fclose);
        if (!out) return std::string();
        std::fprintf(out.get(),
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TrainingCenterDatabase "
                     "xmlns=\"http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2\">\n  <Activities>\n"
                     "    <Activity Sport=\"Running\">\n      <Id>%s</Id>\n",
                     walkTime(0).c_str());
        for (int i = 0; i < kBigFilePoints; ++i) {
            const WalkPoint p = walkPoint(i);
            if (i % 3600 == 0) {
                if (i > 0) std::fputs("        </Track>\n      </Lap>\n", out.get());
                std::fprintf(out.get(),
                             "      <Lap StartTime=\"%s\">\n        <TotalTimeSeconds>3600.0</TotalTimeSeconds>\n"
                             "        <Intensity>Active</Intensity>\n        <TriggerMethod>Manual</TriggerMethod>\n"
                             "        <Track>\n",
                             walkTime(p.second).c_str());
            }
            std::fprintf(out.get(),
                         "          <Trackpoint>\n            <Time>%s</Time>\n            <Position>\n"
                         "              <LatitudeDegrees>%.9f</LatitudeDegrees>\n"
                         "              <LongitudeDegrees>%.9f</LongitudeDegrees>\n            </Position>\n"
                         "            <AltitudeMeters>%.3f</AltitudeMeters>\n"
                         "            <DistanceMeters>%.1f</DistanceMeters>\n"
                         "            <HeartRateBpm>\n              <Value>%d</Value>\n            </HeartRateBpm>\n"
                         "          </Trackpoint>\n",
                         walkTime(p.second).c_str(), p.lat, p.lon, p.elevFeet * 0.3048, i * 1.5, 100 + i % 60);
        }
        std::fputs("        </Track>\n      </Lap>\n    </Activity>\n  </Activities>\n</TrainingCenterDatabase>\n",
                   out.get());
        return file;
    }();
    return path;
}

// As phones write a recorded track: one gx:Track, all its times and then
// all its positions.
inline const std::string& bigKmlFile() {
    static const std::string path = [] {
        const std::string file = benchFilePath("geovanta-bench-big.kml");
        File out(std::fopen(file.c_str(), "wb"), &std::fclose);
        if (!out) return std::string();
        std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
                   "xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n<Document>\n<name>Big</name>\n<Placemark>\n"
                   "<name>Big</name>\n<gx:Track>\n<altitudeMode>absolute</altitudeMode>\n",
                   out.get());
        for (int i = 0; i < kBigFilePoints; ++i) std::fprintf(out.get(), "<when>%s</when>\n", walkTime(i).c_str());
        for (int i = 0; i < kBigFilePoints; ++i) {
            const WalkPoint p = walkPoint(i);
            std::fprintf(out.get(), "<gx:coord>%.9f %.9f %.3f</gx:coord>\n", p.lon, p.lat, p.elevFeet * 0.3048);
        }
        std::fputs("</gx:Track>\n</Placemark>\n</Document>\n</kml>\n", out.get());
        return file;
    }();
    return path;
}

}  // namespace geovanta::bench
