#include "app/placementtexts.h"

#include <cstdio>

#include "input/exiftime.h"
#include "table/datetime.h"
#include "table/formatcoord.h"
#include "table/messages.h"
#include "table/numbertext.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

constexpr int64_t kMsPerSecond = 1000;

// "H:MM", with ":SS" and ".mmm" only when they are not zero.
std::string clockText(int64_t ms, bool alwaysSeconds) {
    const int64_t totalSeconds = ms / kMsPerSecond;
    const auto hours = static_cast<long long>(totalSeconds / 3600);
    const auto minutes = static_cast<int>(totalSeconds / 60 % 60);
    const auto seconds = static_cast<int>(totalSeconds % 60);
    const auto millis = static_cast<int>(ms % kMsPerSecond);
    char buf[48];
    if (millis != 0)
        std::snprintf(buf, sizeof buf, "%lld:%02d:%02d.%03d", hours, minutes, seconds, millis);
    else if (seconds != 0 || alwaysSeconds)
        std::snprintf(buf, sizeof buf, "%lld:%02d:%02d", hours, minutes, seconds);
    else
        std::snprintf(buf, sizeof buf, "%lld:%02d", hours, minutes);
    return buf;
}

std::string n(std::size_t value) { return std::to_string(value); }

// "+03:00", "−04:00": the Russian window prints the minus sign of print, as
// its other texts do; English keeps the hyphen a terminal shows plainly.
std::string zoneText(int minutes) {
    const int size = minutes < 0 ? -minutes : minutes;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", size / 60, size % 60);
    const char* minus = currentLanguage() == Language::Russian ? "−" : "-";
    return (minutes < 0 ? minus : "+") + std::string(buf);
}

}  // namespace

std::string durationText(int64_t ms) {
    if (ms < 0) ms = -ms;
    // Track times stored as fractions of a day come back a few milliseconds
    // off; tenths of a second are all a person needs.
    const int64_t tenths = (ms + 50) / 100;
    std::string text = formatShortest(static_cast<double>(tenths) / 10) + " " + textOf(Msg::SecondsUnit);
    if (tenths >= 600) text += " (" + clockText((tenths + 5) / 10 * kMsPerSecond, true) + ")";
    return text;
}

std::string offsetText(double days) {
    // The pass applies offsets to the millisecond; so are they shown.
    int64_t ms = daysToMs(days);
    if (ms == 0) return "0:00";
    const char sign = ms < 0 ? '-' : '+';
    if (ms < 0) ms = -ms;
    std::string text(1, sign);
    if (ms >= kMsPerDay) text += std::to_string(ms / kMsPerDay) + " " + textOf(Msg::DaysUnit) + " ";
    return text + clockText(ms % kMsPerDay, false);
}

std::string summaryStatusText(const PlacementSummary& s) {
    const std::string points = textOfCount(Msg::SummaryPoints, s.points, {s.points});
    if (s.photos == 0) return textOf(Msg::SummaryNoPhotos, {points});
    std::string text = textOfCount(Msg::SummaryPhotos, s.photos, {points, s.photos, s.placed + s.byHand});
    if (s.byHand != 0) text += textOf(Msg::SummaryByHand, {s.byHand});
    // The window is narrow: only the counts that are not zero are named.
    if (s.unplaced() != 0) {
        std::string why;
        if (s.points == 0) {
            why = textOf(Msg::SummaryNoTrack);
        } else {
            auto part = [&why](std::size_t count, Msg what) {
                if (count != 0) why += (why.empty() ? "" : ", ") + textOf(what, {count});
            };
            part(s.beforeTrack, Msg::SummaryBeforeTrack);
            part(s.afterTrack, Msg::SummaryAfterTrack);
            part(s.inGaps, Msg::SummaryInGaps);
            part(s.inPrivacyZones, Msg::SummaryInPrivacyZones);
            part(s.noLocalZone, Msg::SummaryNoLocalZone);
        }
        text += textOf(Msg::SummaryUnplaced, {s.unplaced(), why});
    }
    if (s.fromFileDate != 0) text += textOf(Msg::SummaryFromFileDate, {s.fromFileDate});
    // One camera's counts are the totals already.
    if (s.cameras.size() > 1)
        for (const PlacementSummary::Camera& c : s.cameras)
            text += textOf(Msg::SummaryCamera, {displayUtf8(c.name), c.placed, c.unplaced});
    return text;
}

std::string offsetsStatusText(const BindingParams& p) {
    std::string text = textOf(Msg::OffsetsStatus, {offsetText(p.trackOffset), offsetText(p.photoOffset), p.tolerance});
    return p.photoZones ? text + textOf(Msg::OffsetsPhotoZones) : text;
}

namespace {

std::string reasonText(const Placement& p, int32_t toleranceSeconds) {
    const std::string d = durationText(p.distanceMs);
    switch (p.kind) {
        case PlacementKind::Placed: return textOf(Msg::Placed, {d});
        case PlacementKind::BeforeTrack: return textOf(Msg::BeforeTrack, {d});
        case PlacementKind::AfterTrack: return textOf(Msg::AfterTrack, {d});
        case PlacementKind::InGap: return textOf(Msg::InGap, {d, toleranceSeconds});
        case PlacementKind::NoTrack: return textOf(Msg::NoTrack);
        case PlacementKind::ByHand: return textOf(Msg::ByHand);
        case PlacementKind::InPrivacyZone: return textOf(Msg::InPrivacyZone, {p.privacyZone});
        case PlacementKind::NoLocalZone:
            return p.localZone && p.localZone->status == LocalZone::Status::NoZoneData
                       ? textOf(Msg::NoLocalZoneData)
                       : textOf(Msg::NoConsistentLocalZone);
    }
    return {};
}

// Where a photograph's time came from when it was not EXIF.
std::string fileDateText(const Placement& p) {
    const bool typed = !p.fileType.empty();
    if (p.invalidExifDate.empty())
        return typed ? textOf(Msg::TimeFromTypedFileDate, {p.fileType}) : textOf(Msg::TimeFromFileDate);
    const std::string excerpt = quotedExcerpt(p.invalidExifDate);
    if (exifYearTooEarly(p.invalidExifDate))
        return typed ? textOf(Msg::TimeFromTypedFileDateEarlyYear, {p.fileType, excerpt})
                     : textOf(Msg::TimeFromFileDateEarlyYear, {excerpt});
    return typed ? textOf(Msg::TimeFromTypedFileDateInvalid, {p.fileType, excerpt})
                 : textOf(Msg::TimeFromFileDateInvalid, {excerpt});
}

std::string zoneNote(const Placement& p) {
    if (p.localZone && p.localZone->status == LocalZone::Status::PhotoZone)
        return "; " + textOf(Msg::TimeByPhotoZone, {zoneText(p.localZone->offsetSeconds / 60)});
    if (p.localZone && !p.localZone->zone.empty()) {
        const Msg what = p.localZone->status == LocalZone::Status::Found ? Msg::LocalTimeZone : Msg::LocalTimeNearestZone;
        return "; " + textOf(what, {p.localZone->zone, zoneText(p.localZone->offsetSeconds / 60)});
    }
    if (!p.zonesUsed) return {};
    return "; " + (p.zoneMinutes ? textOf(Msg::TimeByPhotoZone, {zoneText(*p.zoneMinutes)}) : textOf(Msg::NoPhotoZone));
}

// English reasons begin in lower case, as a line of geovanta-cli does after
// the file's name; a tooltip begins as a sentence.
std::string sentence(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

}  // namespace

std::string placementToolTip(const Placement& p, int32_t toleranceSeconds) {
    const std::string source = p.fromFileDate ? fileDateText(p) : textOf(Msg::TimeFromExif);
    return sentence(reasonText(p, toleranceSeconds)) + "\n" + sentence(source) + zoneNote(p);
}

std::string placementLine(const Placement& p, int32_t toleranceSeconds) {
    std::string text = reasonText(p, toleranceSeconds);
    if (p.fromFileDate) text += "; " + fileDateText(p);
    return text + zoneNote(p);
}

std::string photoRowToolTip(const DataTable& table, std::size_t row, int32_t toleranceSeconds, bool photoZones) {
    BindingParams params;
    params.tolerance = toleranceSeconds;
    params.photoZones = photoZones;
    return photoRowToolTip(table, row, params);
}

std::string photoRowToolTip(const DataTable& table, std::size_t row, const BindingParams& params) {
    if (row >= table.rowCount() || !table.isPhoto(row)) return {};
    const Placement p = explainPlacement(table, row, params);
    std::string text = placementToolTip(p, params.tolerance);
    // The pass leaves a photograph's latitude empty exactly when it does not place it.
    const bool positioned = !table.isNull(row, FieldId::Lat);
    if (positioned != (p.kind == PlacementKind::Placed || p.kind == PlacementKind::ByHand))
        text += "\n" + textOf(Msg::ChangedSincePass);
    // What a write would replace, or keep when told to.
    if (const std::optional<PhotoGps> own = table.photoFacts(row).gps)
        text += "\n" + textOf(Msg::CarriedPosition, {FormatCoord("SN", own->lat), FormatCoord("WE", own->lon)});
    return text;
}

// geovanta-cli's own line, English whatever the locale: every count named,
// so that a script reading it finds each in its place.
std::string summaryLine(const PlacementSummary& s, const BindingParams& p) {
    bool localTime = p.allLocalTime;
    for (const CameraClock& c : p.cameras) localTime = localTime || c.localTime;
    std::string text = n(s.points) + " points, " + n(s.photos) + " photos: placed " + n(s.placed + s.byHand);
    if (s.byHand != 0) text += " (by hand " + n(s.byHand) + ")";
    text += ", not placed " + n(s.unplaced());
    if (s.points == 0 && s.photos != 0)
        text += " (no track loaded)";
    else
        text += " (before the track " + n(s.beforeTrack) + ", after it " + n(s.afterTrack) + ", in gaps " +
                n(s.inGaps) + (p.privacyZones.empty() ? "" : ", in privacy zones " + n(s.inPrivacyZones)) +
                (localTime ? ", no time zone " + n(s.noLocalZone) : "") + ")";
    text += ", from file date " + n(s.fromFileDate) + "; track offset " + offsetText(p.trackOffset) +
            ", photo offset " + offsetText(p.photoOffset) + ", tolerance " + std::to_string(p.tolerance) + " s" +
            (p.photoZones ? ", photo times to UTC by their own zones" : "");
    // Each camera by its full serial: a script may have named two bodies of a model.
    for (const CameraClock& c : p.cameras) {
        const std::string name = displayUtf8(cameraText(c.camera, c.camera.serial.size()));
        if (c.offset) text += ", camera " + name + " offset " + offsetText(*c.offset);
        if (c.localTime && !p.allLocalTime) text += ", camera " + name + " on local time";
    }
    if (p.allLocalTime) text += ", every camera on local time";
    for (const PlacementSummary::Camera& c : s.cameras)
        text += "; camera " + displayUtf8(c.name) + ": placed " + n(c.placed) + ", not placed " + n(c.unplaced);
    return text;
}

}  // namespace geovanta
