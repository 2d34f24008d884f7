#include "input/nmeareader.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>
#include <optional>

#include "input/nmeasentence.h"
#include "input/pointfields.h"
#include "input/trackreader.h"
#include "input/wholefile.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/displaysuspension.h"
#include "table/messages.h"
#include "table/position.h"
#include "table/textlines.h"

namespace geovanta {
namespace {

using Kind = NmeaSentence::Kind;

// Fixes waiting for the other sentence of their time. Loggers write a fix's
// sentences close together but not always in order; a window of a few
// seconds' fixes pairs them, in memory that does not grow with the file.
constexpr std::size_t kWindow = 16;
// An RMC, a GGA and the satellite sentences around them: enough to reserve
// rows for the fixes of a file without asking for much more.
constexpr std::size_t kTypicalFixBytes = 160;
// Farther back than any one log reaches, nearer than a GPS week rollover
// (1024 weeks, about 19.6 years) moves a date.
constexpr int64_t kFarBackMs = int64_t{3652} * kMsPerDay;

// A date and time that dates GGA fixes without an RMC of their own.
struct DateMark {
    int32_t day = 0;
    int32_t timeMs = 0;
};

struct Fix {
    int32_t timeMs = -1;  // of the day; -1 for sentences without a time
    bool hasRmc = false, hasGga = false;
    bool rmcValid = false, ggaValid = false;
    std::optional<int32_t> day;
    std::optional<double> lat, lon, altitudeM;
    // The last date before the fix in the file, else the first after it.
    std::optional<DateMark> mark;
};

int64_t latestPossibleMs() {
    using namespace std::chrono;
    const int64_t now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return kUnixEpochMs + now + kMsPerDay;
}

class NmeaWalk {
public:
    NmeaWalk(GpsRead& read, std::size_t expectedFixes)
        : read_(read), expectedFixes_(expectedFixes), firstRow_(read.rows.rowCount()) {}

    void take(const NmeaSentence& s);
    // Ends the read: the fixes still waiting, then the rows dated back by a
    // rollover.
    void finish();
    bool sawNmea() const { return track_ != 0; }

private:
    void merge(const NmeaSentence& s);
    void emit(const Fix& fix);
    void setMark(const DateMark& mark);
    void removeFarBack();

    GpsRead& read_;
    std::size_t expectedFixes_;
    std::size_t firstRow_;
    uint16_t track_ = 0;
    uint32_t pointNumber_ = 0;
    std::array<Fix, kWindow> pending_;
    std::size_t first_ = 0, count_ = 0;  // a ring: pending_[(first_ + i) % kWindow]
    std::optional<DateMark> mark_;
    const int64_t latestPossible_ = latestPossibleMs();
    int64_t earliestRow_ = std::numeric_limits<int64_t>::max();
    int64_t latestRow_ = std::numeric_limits<int64_t>::min();
};

void NmeaWalk::take(const NmeaSentence& s) {
    if (!s.whole && s.kind != Kind::Damaged) return;
    if (track_ == 0) {
        // The first sentence makes the file a log: its fixes are a track.
        track_ = ++read_.trackCounter;
        reserveRows(read_.rows, expectedFixes_);
    }
    switch (s.kind) {
        case Kind::Damaged: ++read_.stats.badChecksums; return;
        case Kind::Zda:
            if (s.day && s.timeMs) setMark({*s.day, *s.timeMs});
            return;
        case Kind::Rmc:
            if (s.valid && s.day && s.timeMs && int64_t{*s.day} * kMsPerDay + *s.timeMs <= latestPossible_)
                setMark({*s.day, *s.timeMs});
            merge(s);
            return;
        case Kind::Gga: merge(s); return;
        case Kind::Other: return;
    }
}

void NmeaWalk::merge(const NmeaSentence& s) {
    const bool rmc = s.kind == Kind::Rmc;
    const int32_t time = s.timeMs.value_or(-1);
    Fix* fix = nullptr;
    for (std::size_t i = count_; i-- > 0;) {
        Fix& f = pending_[(first_ + i) % kWindow];
        if (f.timeMs != time) continue;
        if (!(rmc ? f.hasRmc : f.hasGga)) {
            fix = &f;
            break;
        }
        // The same sentence again for a time: a logger's repeat.
        if (time >= 0) return;
    }
    if (!fix) {
        if (count_ == kWindow) {
            emit(pending_[first_]);
            first_ = (first_ + 1) % kWindow;
            --count_;
        }
        fix = &pending_[(first_ + count_++) % kWindow];
        *fix = Fix{};
        fix->timeMs = time;
        fix->mark = mark_;
    }
    if (rmc) {
        fix->hasRmc = true;
        fix->rmcValid = s.valid;
        fix->day = s.day;
        // The RMC's position is the fix's; a GGA's stands in when it has none.
        if (s.lat) {
            fix->lat = s.lat;
            fix->lon = s.lon;
        }
    } else {
        fix->hasGga = true;
        fix->ggaValid = s.valid;
        if (s.valid) fix->altitudeM = s.altitudeM;
        if (!fix->lat) {
            fix->lat = s.lat;
            fix->lon = s.lon;
        }
    }
}

void NmeaWalk::setMark(const DateMark& mark) {
    mark_ = mark;
    for (std::size_t i = 0; i < count_; ++i) {
        Fix& f = pending_[(first_ + i) % kWindow];
        if (!f.mark) f.mark = mark;
    }
}

// The day, next to the mark's, that puts `timeMs` nearest to the mark: a GGA
// just past midnight belongs to the day after an RMC just before it.
std::optional<int32_t> dayNearMark(int32_t timeMs, const std::optional<DateMark>& mark) {
    if (!mark) return std::nullopt;
    const int32_t shift = timeMs - mark->timeMs;
    if (shift > kMsPerDay / 2) return mark->day - 1;
    if (shift < -kMsPerDay / 2) return mark->day + 1;
    return mark->day;
}

void NmeaWalk::emit(const Fix& fix) {
    GpsReadStats& stats = read_.stats;
    if (!(fix.hasRmc ? fix.rmcValid : fix.ggaValid)) {
        ++stats.voidFixes;
        return;
    }
    const std::optional<int32_t> day = fix.timeMs < 0 ? std::nullopt : fix.day ? fix.day : dayNearMark(fix.timeMs, fix.mark);
    if (!day) {
        ++stats.withoutTime;
        return;
    }
    if (!fix.lat) {
        ++stats.withoutPosition;
        return;
    }
    PointFields point;
    point.timeMs = int64_t{*day} * kMsPerDay + fix.timeMs;
    if (point.timeMs > latestPossible_ || !dayTimeInRange(static_cast<long double>(point.timeMs) / kMsPerDay)) {
        ++stats.impossibleTimes;
        return;
    }
    point.lat = fix.lat;
    point.lon = fix.lon;
    if (fix.altitudeM) {
        point.elev = feetFromMetres(*fix.altitudeM);
        if (!altitudeInRange(*point.elev)) {
            point.elev = kNoAltitudeFeet;
            ++read_.stats.altitudesOutOfRange;
        }
    }
    appendPointRow(read_.rows, 'T', TrackReader::pointName(track_, ++pointNumber_), point);
    earliestRow_ = std::min(earliestRow_, point.timeMs);
    latestRow_ = std::max(latestRow_, point.timeMs);
}

void NmeaWalk::finish() {
    for (; count_ > 0; --count_, first_ = (first_ + 1) % kWindow) emit(pending_[first_]);
    if (earliestRow_ <= latestRow_ && latestRow_ - earliestRow_ > kFarBackMs) removeFarBack();
}

// Rare (a receiver that missed a rollover), so the rows are taken out after
// the read rather than every fix waiting for the file's last date.
void NmeaWalk::removeFarBack() {
    const int64_t limit = latestRow_ - kFarBackMs;
    DataTable& rows = read_.rows;
    read_.stats.impossibleTimes += rows.removeRowsIf(
        [&](std::size_t row) { return row >= firstRow_ && rows.timeMs(row, FieldId::Time) < limit; });
}

}  // namespace

LoadResult readNmea(std::string_view bytes, GpsRead& read) {
    TextLines lines(bytes, TextLines::NulByte::Ordinary);
    DisplaySuspension suspended(read.rows);
    NmeaWalk walk(read, expectedLines(bytes, kTypicalFixBytes));
    std::string_view line;
    while (lines.next(line)) {
        if (lines.lineNumber() % kLinesPerLook == 0) {
            if (read.progress && lookAt(*read.progress, lines)) return LoadResult::cancelled();
            if (read.spent) read.spent->release(static_cast<std::size_t>(line.data() - bytes.data()));
        }
        forEachNmeaPiece(line, [&](std::string_view piece) { walk.take(parseNmeaSentence(piece)); });
    }
    if (!walk.sawNmea()) return LoadResult::rejected(textOf(Msg::NotNmea));
    walk.finish();
    if (read.spent) read.spent->release(bytes.size());
    return LoadResult::loaded();
}

bool looksLikeNmea(std::string_view head) {
    TextLines lines(head, TextLines::NulByte::Ordinary);
    std::string_view line;
    int fixes = 0;
    while (lines.next(line) && fixes < 2)
        forEachNmeaPiece(line, [&](std::string_view piece) {
            const NmeaSentence s = parseNmeaSentence(piece);
            if (s.whole && (s.kind == Kind::Rmc || s.kind == Kind::Gga)) ++fixes;
        });
    return fixes >= 2;
}

}  // namespace geovanta
