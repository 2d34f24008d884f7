#include "input/fitreader.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "input/fitdefinition.h"
#include "input/pointfields.h"
#include "input/trackreader.h"
#include "input/wholefile.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/messages.h"
#include "table/position.h"

namespace geovanta {
namespace {

using namespace fit;

constexpr std::size_t kMinHeaderBytes = 12;
constexpr std::size_t kHeaderCrcAt = 12;
constexpr std::size_t kCrcBytes = 2;
constexpr std::string_view kSignature = ".FIT";
constexpr std::size_t kSignatureAt = 8;
constexpr std::size_t kLocalTypes = 16;

// FIT counts seconds from 1989-12-31 00:00 UTC.
constexpr int64_t kFitEpochMs = kUnixEpochMs + int64_t{631065600} * 1000;
// Times below this count from the device's start, not from the epoch.
constexpr uint32_t kFirstAbsoluteTime = 0x10000000;
// No receiver logged before 1990; a time beyond tomorrow is a clock gone
// wrong (a point dated decades ahead), which would stretch the track.
constexpr int64_t kEarliestMs = kUnixEpochMs + int64_t{631152000} * 1000;
constexpr int64_t kFutureMarginMs = kMsPerDay;

constexpr uint8_t kSettingsFile = 2;
constexpr uint8_t kCourseFile = 6;

// A compact record (time, position, altitude) takes 16 to 20 bytes; rows
// reserved but never filled cost no memory.
constexpr std::size_t kTypicalRecordBytes = 20;
constexpr std::size_t kMessagesPerLook = 16384;

uint16_t le16(const char* p) {
    return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8);
}

uint32_t le32(const char* p) { return le16(p) | static_cast<uint32_t>(le16(p + 2)) << 16; }

// The checksum's table for one byte, and seven more that carry a byte's
// effect over the bytes after it, so that eight bytes are taken at once:
// byte by byte, the checksum of a big file took as long as reading its
// records.
using CrcTables = std::array<std::array<uint16_t, 256>, 8>;
constexpr CrcTables makeCrcTables() {
    CrcTables t{};
    for (unsigned n = 0; n < 256; ++n) {
        unsigned crc = n;
        for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1;
        t[0][n] = static_cast<uint16_t>(crc);
    }
    for (std::size_t k = 1; k < t.size(); ++k)
        for (unsigned n = 0; n < 256; ++n) t[k][n] = static_cast<uint16_t>((t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF]);
    return t;
}
constexpr CrcTables kCrc = makeCrcTables();

bool startsHeader(std::string_view bytes) {
    return bytes.size() >= kMinHeaderBytes && static_cast<uint8_t>(bytes[0]) >= kMinHeaderBytes &&
           bytes.substr(kSignatureAt, kSignature.size()) == kSignature;
}

double degrees(int32_t semicircles) { return semicircles * (180.0 / 2147483648.0); }

// A point whose device clock awaits its correlation with UTC.
struct Pending {
    uint32_t deviceSeconds;
    PointFields point;
};

class FitWalk {
public:
    FitWalk(std::string_view bytes, GpsRead& read) : bytes_(bytes), read_(read) {
        latestMs_ = kUnixEpochMs + std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::system_clock::now().time_since_epoch())
                                       .count() +
                    kFutureMarginMs;
    }

    LoadResult run();

private:
    bool readFile(std::size_t& at);
    bool readMessages(std::size_t at, std::size_t end);
    void readData(const Definition& d, const char* data, std::optional<uint32_t> time);
    void readRecord(const Definition& d, const char* data, std::optional<uint32_t> time);
    void readLocation(const Definition& d, const char* data, std::optional<uint32_t> time);
    void readCorrelation(const Definition& d, const char* data);
    std::optional<PointFields> position(const Definition& d, const char* data);
    void add(char stat, std::string_view name, const PointFields& point);
    bool fail(const std::string& reason, std::size_t offset);
    void warn(Msg warning, std::size_t offset);
    bool look(std::size_t offset);

    std::string_view bytes_;
    GpsRead& read_;
    std::array<Definition, kLocalTypes> definitions_;
    std::optional<uint32_t> lastTime_;  // for compressed-timestamp headers
    std::optional<int64_t> deviceClockMs_;  // UTC minus the device's clock
    std::vector<Pending> pending_;
    std::optional<uint8_t> fileType_;
    bool sawPosition_ = false;
    bool cancelled_ = false;
    uint16_t track_ = 0;
    uint32_t pointNumber_ = 0;  // counted wide: names never repeat
    std::size_t messages_ = 0;
    int64_t latestMs_ = 0;
    std::string failure_;
};

LoadResult FitWalk::run() {
    if (!looksLikeFit(bytes_)) return LoadResult::rejected(textOf(Msg::NotFit));
    reserveRows(read_.rows, bytes_.size() / kTypicalRecordBytes);
    std::size_t at = 0;
    while (at < bytes_.size()) {
        if (!startsHeader(bytes_.substr(at))) {
            // Zeros pad some files to a block size; anything else was not read.
            if (bytes_.find_first_not_of('\0', at) != std::string_view::npos) warn(Msg::FitTrailingBytes, at);
            break;
        }
        if (!readFile(at)) break;
    }
    if (cancelled_) return LoadResult::cancelled();
    if (read_.spent) read_.spent->release(bytes_.size());
    // No correlation came for these: their time is unknown.
    read_.stats.withoutTime += pending_.size();

    if (!failure_.empty()) return LoadResult::failed(failure_);
    if (!sawPosition_)
        return LoadResult::rejected(textOf(fileType_ == kSettingsFile ? Msg::FitSettingsFile : Msg::FitNoPositions));
    if (fileType_ == kCourseFile && pointNumber_ > 0) read_.stats.warnings.push_back(textOf(Msg::FitCourse));
    return LoadResult::loaded();
}

// One FIT file: its header, messages and checksum; `at` moves past them.
bool FitWalk::readFile(std::size_t& at) {
    const std::size_t left = bytes_.size() - at;
    const char* header = bytes_.data() + at;
    const std::size_t headerBytes = static_cast<uint8_t>(header[0]);
    if (headerBytes > left) return fail(textOf(Msg::FitBadHeader), at);
    if (headerBytes >= kHeaderCrcAt + kCrcBytes) {
        // 0 stands for a checksum the producer did not work out.
        const uint16_t crc = le16(header + kHeaderCrcAt);
        if (crc != 0 && crc != fitCrc(bytes_.substr(at, kHeaderCrcAt))) warn(Msg::FitBadChecksum, at + kHeaderCrcAt);
    }
    const uint64_t dataBytes = le32(header + 4);
    const std::size_t begin = at + headerBytes;
    const std::size_t available = bytes_.size() - begin;
    const bool whole = dataBytes + kCrcBytes <= available;
    const std::size_t end = begin + static_cast<std::size_t>(std::min<uint64_t>(dataBytes, available));
    if (whole && le16(bytes_.data() + end) != fitCrc(bytes_.substr(at, end - at))) warn(Msg::FitBadChecksum, end);

    // Local message types are the file's own.
    definitions_ = {};
    if (!readMessages(begin, end)) return false;
    if (!whole) return fail(textOf(Msg::FitCutShort), end);
    at = end + kCrcBytes;
    return true;
}

bool FitWalk::readMessages(std::size_t at, std::size_t end) {
    const char* const b = bytes_.data();
    while (at < end) {
        if (++messages_ % kMessagesPerLook == 0 && !look(at)) return false;
        const std::size_t start = at;
        const auto header = static_cast<uint8_t>(b[at++]);
        std::optional<uint32_t> time;
        unsigned local = header & 0x0F;
        if (header & 0x80) {
            // Compressed timestamp: five bits of seconds after the last full
            // time, rolling over past 31.
            local = (header >> 5) & 0x03;
            if (lastTime_) {
                const uint32_t offset = header & 0x1F;
                uint32_t t = (*lastTime_ & ~0x1Fu) + offset;
                if (offset < (*lastTime_ & 0x1Fu)) t += 0x20;
                lastTime_ = time = t;
            }
        } else if (header & 0x40) {
            std::size_t length = 0;
            uint8_t order = 0;
            switch (readDefinition(bytes_.substr(at, end - at), header & 0x20, definitions_[local], length, order)) {
                case DefinitionRead::Read: at += length; continue;
                case DefinitionRead::CutShort: return fail(textOf(Msg::FitCutShort), start);
                case DefinitionRead::BadByteOrder: return fail(textOf(Msg::FitBadByteOrder, {unsigned{order}}), start);
            }
        }
        const Definition& d = definitions_[local];
        if (!d.defined) return fail(textOf(Msg::FitUndefinedMessage, {local}), start);
        if (d.size > end - at) return fail(textOf(Msg::FitCutShort), start);
        readData(d, b + at, time);
        at += d.size;
    }
    return true;
}

void FitWalk::readData(const Definition& d, const char* data, std::optional<uint32_t> time) {
    if (d.has(Timestamp)) {
        const uint32_t t = d.u32(data, Timestamp);
        if (t != kInvalidU32) lastTime_ = time = t;
    }
    switch (d.global) {
        case kRecord: readRecord(d, data, time); break;
        case kLocation: readLocation(d, data, time); break;
        case kTimestampCorrelation: readCorrelation(d, data); break;
        case kFileId:
            if (!fileType_ && d.has(FileType)) fileType_ = d.u8(data, FileType);
            break;
        default: break;
    }
}

// Latitude, longitude and altitude, or nothing for a message without a
// position. (0, 0) is what some devices write before their first fix.
std::optional<PointFields> FitWalk::position(const Definition& d, const char* data) {
    if (!d.has(Latitude) || !d.has(Longitude)) return std::nullopt;
    const int32_t lat = d.s32(data, Latitude), lon = d.s32(data, Longitude);
    if (lat == kInvalidS32 || lon == kInvalidS32 || (lat == 0 && lon == 0)) return std::nullopt;
    PointFields p;
    p.lat = degrees(lat);
    p.lon = degrees(lon);
    if (std::fabs(*p.lat) > 90) return std::nullopt;
    sawPosition_ = true;

    // Both altitudes are metres scaled by 5 from 500 m below sea level; the
    // wide one, which newer devices write alone, wins.
    std::optional<uint32_t> raw;
    if (d.has(EnhancedAltitude) && d.u32(data, EnhancedAltitude) != kInvalidU32)
        raw = d.u32(data, EnhancedAltitude);
    else if (d.has(Altitude) && d.u16(data, Altitude) != kInvalidU16)
        raw = d.u16(data, Altitude);
    if (raw) {
        const double feet = feetFromMetres(*raw / 5.0 - 500);
        if (altitudeInRange(feet))
            p.elev = feet;
        else
            ++read_.stats.altitudesOutOfRange;
    }
    return p;
}

void FitWalk::readRecord(const Definition& d, const char* data, std::optional<uint32_t> time) {
    std::optional<PointFields> p = position(d, data);
    if (!time) {
        ++read_.stats.withoutTime;
        return;
    }
    if (!p) {
        ++read_.stats.withoutPosition;
        return;
    }
    if (*time >= kFirstAbsoluteTime) {
        p->timeMs = kFitEpochMs + int64_t{*time} * 1000;
    } else if (deviceClockMs_) {
        p->timeMs = *deviceClockMs_ + int64_t{*time} * 1000;
    } else {
        pending_.push_back({*time, *p});
        return;
    }
    add('T', {}, *p);
}

void FitWalk::readLocation(const Definition& d, const char* data, std::optional<uint32_t> time) {
    std::optional<PointFields> p = position(d, data);
    if (!time || (*time < kFirstAbsoluteTime && !deviceClockMs_)) {
        ++read_.stats.withoutTime;
        return;
    }
    if (!p) {
        ++read_.stats.withoutPosition;
        return;
    }
    p->timeMs = (*time >= kFirstAbsoluteTime ? kFitEpochMs : *deviceClockMs_) + int64_t{*time} * 1000;
    std::string_view name;
    if (d.has(Name)) {
        name = std::string_view(data + d.offset[Name], d.width[Name]);
        name = name.substr(0, name.find('\0'));
    }
    add('P', name, *p);
}

// The device's clock against UTC, each to the millisecond where the message
// gives the fractions; the points that waited for it are placed now.
void FitWalk::readCorrelation(const Definition& d, const char* data) {
    if (!d.has(Timestamp) || !d.has(SystemTimestamp)) return;
    const uint32_t utc = d.u32(data, Timestamp), device = d.u32(data, SystemTimestamp);
    if (utc == kInvalidU32 || utc < kFirstAbsoluteTime || device == kInvalidU32) return;
    const auto fraction = [&](Slot ms, Slot fractional) -> int64_t {
        if (d.has(ms) && d.u16(data, ms) < 1000) return d.u16(data, ms);
        if (d.has(fractional) && d.u16(data, fractional) != kInvalidU16) return d.u16(data, fractional) * 1000 / 32768;
        return 0;
    };
    const int64_t utcMs = kFitEpochMs + int64_t{utc} * 1000 + fraction(TimestampMs, FractionalTimestamp);
    const int64_t deviceMs = int64_t{device} * 1000 + fraction(SystemTimestampMs, FractionalSystemTimestamp);
    deviceClockMs_ = utcMs - deviceMs;
    for (Pending& waiting : pending_) {
        waiting.point.timeMs = *deviceClockMs_ + int64_t{waiting.deviceSeconds} * 1000;
        add('T', {}, waiting.point);
    }
    pending_.clear();
}

void FitWalk::add(char stat, std::string_view name, const PointFields& point) {
    if (point.timeMs < kEarliestMs || point.timeMs > latestMs_) {
        ++read_.stats.impossibleTimes;
        return;
    }
    if (stat == 'P') {
        appendPointRow(read_.rows, stat, name, point);
        return;
    }
    if (!track_) track_ = ++read_.trackCounter;
    appendPointRow(read_.rows, stat, TrackReader::pointName(track_, ++pointNumber_), point);
}

bool FitWalk::fail(const std::string& reason, std::size_t offset) {
    failure_ = reason + byteSuffix(read_.path, offset);
    return false;
}

void FitWalk::warn(Msg warning, std::size_t offset) { read_.stats.warnings.push_back(textOf(warning, {offset})); }

bool FitWalk::look(std::size_t offset) {
    if (read_.spent) read_.spent->release(offset);
    if (!read_.progress) return true;
    read_.progress->setTotal(bytes_.size());
    read_.progress->setDone(offset);
    cancelled_ = read_.progress->cancelled();
    return !cancelled_;
}

}  // namespace

LoadResult readFit(std::string_view bytes, GpsRead& read) { return FitWalk(bytes, read).run(); }

bool looksLikeFit(std::string_view head) { return startsHeader(head); }

uint16_t fitCrc(std::string_view bytes, uint16_t crc) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    std::size_t left = bytes.size();
    for (; left >= 8; left -= 8, p += 8) {
        const unsigned a = p[0] ^ (crc & 0xFF), b = p[1] ^ (crc >> 8);
        crc = static_cast<uint16_t>(kCrc[7][a] ^ kCrc[6][b] ^ kCrc[5][p[2]] ^ kCrc[4][p[3]] ^ kCrc[3][p[4]] ^
                                    kCrc[2][p[5]] ^ kCrc[1][p[6]] ^ kCrc[0][p[7]]);
    }
    for (; left > 0; --left, ++p) crc = static_cast<uint16_t>((crc >> 8) ^ kCrc[0][(crc ^ *p) & 0xFF]);
    return crc;
}

}  // namespace geovanta
