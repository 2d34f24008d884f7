#include "app/placementtexts.h"

#include <cstdio>

#include "table/datetime.h"
#include "table/numbertext.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

constexpr int64_t kMsPerSecond = 1000;

std::string n(std::size_t value) { return std::to_string(value); }

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

// Russian noun form for a count: 1 точка, 2 точки, 5 точек, 11 точек, 21 точка.
const char* russianPlural(std::size_t count, const char* one, const char* few, const char* many) {
    const std::size_t lastTwo = count % 100;
    const std::size_t last = count % 10;
    if (lastTwo >= 11 && lastTwo <= 14) return many;
    if (last == 1) return one;
    if (last >= 2 && last <= 4) return few;
    return many;
}

// "+03:00", "−04:00" with the minus sign of print for the window, "-04:00" for the terminal.
std::string zoneText(int minutes, const char* minus) {
    const int size = minutes < 0 ? -minutes : minutes;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", size / 60, size % 60);
    return (minutes < 0 ? minus : "+") + std::string(buf);
}

// What the photograph's own zone did to its time, for the window.
std::string zoneNote(const Placement& p) {
    if (p.zoneMinutes) return "; время UTC по поясу из фото " + zoneText(*p.zoneMinutes, "−");
    return "; пояса в фото нет, только смещение фото";
}

}  // namespace

std::string durationText(int64_t ms, const std::string& unit) {
    if (ms < 0) ms = -ms;
    // Track times stored as fractions of a day come back a few milliseconds
    // off; tenths of a second are all a person needs.
    const int64_t tenths = (ms + 50) / 100;
    std::string text = formatShortest(static_cast<double>(tenths) / 10) + " " + unit;
    if (tenths >= 600) text += " (" + clockText((tenths + 5) / 10 * kMsPerSecond, true) + ")";
    return text;
}

std::string offsetText(double days, const std::string& daysUnit) {
    // The pass applies offsets to the millisecond; so are they shown.
    int64_t ms = daysToMs(days);
    if (ms == 0) return "0:00";
    const char sign = ms < 0 ? '-' : '+';
    if (ms < 0) ms = -ms;
    std::string text(1, sign);
    if (ms >= kMsPerDay) text += std::to_string(ms / kMsPerDay) + " " + daysUnit + " ";
    return text + clockText(ms % kMsPerDay, false);
}

std::string summaryStatusText(const PlacementSummary& s) {
    std::string text = n(s.points) + " " + russianPlural(s.points, "точка", "точки", "точек") + ", ";
    if (s.photos == 0) return text + "фотографий нет";
    text += n(s.photos) + " фото: привязано " + n(s.placed + s.byHand);
    if (s.byHand != 0) text += " (вручную " + n(s.byHand) + ")";
    // The window is narrow: only the counts that are not zero are named.
    if (s.unplaced() != 0) {
        text += ", не привязано " + n(s.unplaced()) + " (";
        if (s.points == 0) {
            text += "трек не загружен";
        } else {
            std::string parts;
            auto part = [&](std::size_t count, const char* what) {
                if (count != 0) parts += (parts.empty() ? "" : ", ") + std::string(what) + " " + n(count);
            };
            part(s.beforeTrack, "до трека");
            part(s.afterTrack, "после");
            part(s.inGaps, "в разрывах");
            text += parts;
        }
        text += ")";
    }
    if (s.fromFileDate != 0) text += ", по дате файла " + n(s.fromFileDate);
    return text;
}

std::string offsetsStatusText(const BindingParams& p) {
    return "Смещение: трек " + offsetText(p.trackOffset, "сут") + ", фото " + offsetText(p.photoOffset, "сут") +
           "; допуск " + std::to_string(p.tolerance) + " с" + (p.photoZones ? "; часовой пояс из фото" : "");
}

std::string placementToolTip(const Placement& p, int32_t toleranceSeconds) {
    const std::string d = durationText(p.distanceMs, "с");
    std::string text;
    switch (p.kind) {
        case PlacementKind::Placed: text = "Привязано: до ближайшей точки трека " + d; break;
        case PlacementKind::BeforeTrack: text = "Не привязано: снято за " + d + " до начала трека"; break;
        case PlacementKind::AfterTrack: text = "Не привязано: снято через " + d + " после конца трека"; break;
        case PlacementKind::InGap:
            text = "Не привязано: разрыв в треке, до ближайшей точки " + d + ", допуск " +
                   std::to_string(toleranceSeconds) + " с";
            break;
        case PlacementKind::NoTrack: text = "Не привязано: трек не загружен"; break;
        case PlacementKind::ByHand: text = "Фото привязано вручную"; break;
    }
    if (!p.fromFileDate) {
        text += "\nВремя съёмки из EXIF";
    } else {
        text += "\nВремя съёмки взято из даты файла" + (p.fileType.empty() ? "" : " " + p.fileType) + ": " +
                (p.invalidExifDate.empty() ? "в EXIF его нет" : "дата EXIF недопустима: " + quotedExcerpt(p.invalidExifDate));
    }
    return p.zonesUsed ? text + zoneNote(p) : text;
}

std::string photoRowToolTip(const DataTable& table, std::size_t row, int32_t toleranceSeconds, bool photoZones) {
    if (row >= table.rowCount() || !table.isPhoto(row)) return {};
    const Placement p = explainPlacement(table, row, toleranceSeconds, photoZones);
    std::string text = placementToolTip(p, toleranceSeconds);
    // The pass leaves a photograph's latitude empty exactly when it does not place it.
    const bool positioned = !table.isNull(row, FieldId::Lat);
    if (positioned != (p.kind == PlacementKind::Placed || p.kind == PlacementKind::ByHand))
        text += "\nТаблица изменена после расчёта: координаты пересчитаются при следующей загрузке или смене смещений";
    return text;
}

std::string summaryLine(const PlacementSummary& s, const BindingParams& p) {
    std::string text = n(s.points) + " points, " + n(s.photos) + " photos: placed " + n(s.placed + s.byHand);
    if (s.byHand != 0) text += " (by hand " + n(s.byHand) + ")";
    text += ", not placed " + n(s.unplaced());
    if (s.points == 0 && s.photos != 0)
        text += " (no track loaded)";
    else
        text += " (before the track " + n(s.beforeTrack) + ", after it " + n(s.afterTrack) + ", in gaps " +
                n(s.inGaps) + ")";
    return text + ", from file date " + n(s.fromFileDate) + "; track offset " + offsetText(p.trackOffset, "d") +
           ", photo offset " + offsetText(p.photoOffset, "d") + ", tolerance " + std::to_string(p.tolerance) + " s" +
           (p.photoZones ? ", photo times to UTC by their own zones" : "");
}

std::string placementLine(const Placement& p, int32_t toleranceSeconds) {
    const std::string d = durationText(p.distanceMs, "s");
    std::string text;
    switch (p.kind) {
        case PlacementKind::Placed: text = "placed, " + d + " from the nearer point"; break;
        case PlacementKind::BeforeTrack: text = "not placed: before the first point by " + d; break;
        case PlacementKind::AfterTrack: text = "not placed: after the last point by " + d; break;
        case PlacementKind::InGap:
            text = "not placed: in a gap, nearest point " + d + " away, tolerance " +
                   std::to_string(toleranceSeconds) + " s";
            break;
        case PlacementKind::NoTrack: text = "not placed: no track loaded"; break;
        case PlacementKind::ByHand: text = "placed by hand"; break;
    }
    if (p.fromFileDate) {
        text += "; time from the " + (p.fileType.empty() ? "" : p.fileType + " ") + "file's date";
        if (!p.invalidExifDate.empty()) text += ": EXIF date is not a date: " + quotedExcerpt(p.invalidExifDate);
    }
    if (p.zonesUsed)
        text += p.zoneMinutes ? "; time to UTC by the photo's zone " + zoneText(*p.zoneMinutes, "-")
                              : "; no zone in the photo, the photo offset alone";
    return text;
}

}  // namespace geovanta
