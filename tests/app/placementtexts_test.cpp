#include "app/placementtexts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/language.h"
#include "table/datatable.h"

using namespace geovanta;
using geovanta::test::LanguageScope;

namespace {

PlacementSummary summary(std::size_t points, std::size_t placed, std::size_t before, std::size_t after,
                         std::size_t gaps, std::size_t fileDate) {
    PlacementSummary s;
    s.points = points;
    s.placed = placed;
    s.beforeTrack = before;
    s.afterTrack = after;
    s.inGaps = gaps;
    s.photos = placed + before + after + gaps;
    s.fromFileDate = fileDate;
    return s;
}

}  // namespace

TEST(PlacementTexts, DurationsAndOffsets) {
    EXPECT_EQ(durationText(0), "0 s");
    EXPECT_EQ(durationText(12500), "12.5 s");
    EXPECT_EQ(durationText(59940), "59.9 s");
    EXPECT_EQ(durationText(1300003), "1300 s (0:21:40)");  // a track time's rounding
    EXPECT_EQ(durationText(1300450), "1300.5 s (0:21:41)");
    EXPECT_EQ(durationText(-1812000), "1812 s (0:30:12)");
    EXPECT_EQ(durationText(93784000), "93784 s (26:03:04)");

    EXPECT_EQ(offsetText(0), "0:00");
    EXPECT_EQ(offsetText(1.0 / 24), "+1:00");
    EXPECT_EQ(offsetText(0.0001), "+0:00:08.640");  // a settings file may hold any fraction
    EXPECT_EQ(offsetText(-1.0 / 1440), "-0:01");

    LanguageScope russian(Language::Russian);
    EXPECT_EQ(durationText(59960), "60 с (0:01:00)");
    EXPECT_EQ(offsetText(-(2 + 0.5 / 24)), "-2 сут 0:30");
}

TEST(PlacementTexts, SummaryAndOffsets) {
    PlacementSummary noTrack;
    noTrack.photos = noTrack.noTrack = 2;
    {
        LanguageScope russian(Language::Russian);
        EXPECT_EQ(summaryStatusText(summary(18, 4, 1, 0, 0, 0)),
                  "18 точек, 5 фото: привязано 4, не привязано 1 (до трека 1)");
        EXPECT_EQ(summaryStatusText(summary(21, 3, 1, 2, 3, 4)),
                  "21 точка, 9 фото: привязано 3, не привязано 6 (до трека 1, после 2, в разрывах 3), по дате файла 4");
        EXPECT_EQ(summaryStatusText(summary(111, 7, 0, 0, 0, 1)), "111 точек, 7 фото: привязано 7, по дате файла 1");
        EXPECT_EQ(summaryStatusText(summary(22, 0, 0, 0, 0, 0)), "22 точки, фотографий нет");
        EXPECT_EQ(summaryStatusText(noTrack), "0 точек, 2 фото: привязано 0, не привязано 2 (трек не загружен)");
        EXPECT_EQ(offsetsStatusText({0, -1.0 / 24, 300}), "Смещение: трек 0:00, фото -1:00; допуск 300 с");
        EXPECT_EQ(offsetsStatusText({0, 0, 300, true}),
                  "Смещение: трек 0:00, фото 0:00; допуск 300 с; часовой пояс из фото");
    }
    EXPECT_EQ(summaryStatusText(summary(1, 1, 0, 0, 0, 0)), "1 point, 1 photo: placed 1");
    EXPECT_EQ(summaryStatusText(summary(21, 3, 1, 2, 3, 4)),
              "21 points, 9 photos: placed 3, not placed 6 (before the track 1, after it 2, in gaps 3), "
              "from file date 4");
    EXPECT_EQ(summaryStatusText(summary(22, 0, 0, 0, 0, 0)), "22 points, no photos");
    EXPECT_EQ(summaryStatusText(noTrack), "0 points, 2 photos: placed 0, not placed 2 (no track loaded)");
    EXPECT_EQ(offsetsStatusText({0, 1.0 / 24, 60, true}),
              "Offsets: track 0:00, photos +1:00; tolerance 60 s; photos' own time zones");
}

TEST(PlacementTexts, ReasonsInBothLanguages) {
    const struct {
        Placement placement;
        const char* window;
        const char* line;
    } cases[] = {
        {{PlacementKind::Placed, 25000, false, {}}, "Привязано: до ближайшей точки трека 25 с\nВремя съёмки из EXIF",
         "placed, 25 s from the nearer point"},
        {{PlacementKind::BeforeTrack, 180000, true, {}},
         "Не привязано: снято за 180 с (0:03:00) до начала трека\nВремя съёмки взято из даты файла: в EXIF его нет",
         "not placed: before the first point by 180 s (0:03:00); time from the file's date"},
        {{PlacementKind::AfterTrack, 1800000, false, {}},
         "Не привязано: снято через 1800 с (0:30:00) после конца трека\nВремя съёмки из EXIF",
         "not placed: after the last point by 1800 s (0:30:00)"},
        {{PlacementKind::InGap, 420000, false, {}},
         "Не привязано: разрыв в треке, до ближайшей точки 420 с (0:07:00), допуск 300 с\nВремя съёмки из EXIF",
         "not placed: in a gap, nearest point 420 s (0:07:00) away, tolerance 300 s"},
        {{PlacementKind::NoTrack, 0, false, {}}, "Не привязано: трек не загружен\nВремя съёмки из EXIF",
         "not placed: no track loaded"},
        {{PlacementKind::NoTrack, 0, true, "2021:02:30 10:00:00"},
         "Не привязано: трек не загружен\nВремя съёмки взято из даты файла: дата EXIF недопустима: 2021:02:30 10:00:00",
         "not placed: no track loaded; time from the file's date: EXIF date is not a date: 2021:02:30 10:00:00"},
        {{PlacementKind::ByHand, 0, false, {}}, "Фото привязано вручную\nВремя съёмки из EXIF", "placed by hand"},
        // The photographs' own zones in use: east, west, none; a file's type where its date stood in.
        {{PlacementKind::Placed, 25000, false, {}, {}, true, -240},
         "Привязано: до ближайшей точки трека 25 с\nВремя съёмки из EXIF; время UTC по поясу из фото −04:00",
         "placed, 25 s from the nearer point; time to UTC by the photo's zone -04:00"},
        {{PlacementKind::AfterTrack, 1800000, false, {}, {}, true, 345},
         "Не привязано: снято через 1800 с (0:30:00) после конца трека\n"
         "Время съёмки из EXIF; время UTC по поясу из фото +05:45",
         "not placed: after the last point by 1800 s (0:30:00); time to UTC by the photo's zone +05:45"},
        {{PlacementKind::BeforeTrack, 180000, true, {}, "HEIC", true, std::nullopt},
         "Не привязано: снято за 180 с (0:03:00) до начала трека\n"
         "Время съёмки взято из даты файла HEIC: в EXIF его нет; пояса в фото нет, только смещение фото",
         "not placed: before the first point by 180 s (0:03:00); time from the HEIC file's date; "
         "no zone in the photo, the photo offset alone"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(placementLine(c.placement, 300), c.line);
        LanguageScope russian(Language::Russian);
        EXPECT_EQ(placementToolTip(c.placement, 300), c.window);
    }
    // The English window's tooltip: the same texts, each line begun as a sentence.
    EXPECT_EQ(placementToolTip(cases[9].placement, 300),
              "Not placed: before the first point by 180 s (0:03:00)\n"
              "Time from the HEIC file's date; no zone in the photo, the photo offset alone");
    EXPECT_EQ(summaryLine(summary(76, 8, 1, 0, 1, 2), {0, 1.0 / 24, 60}),
              "76 points, 10 photos: placed 8, not placed 2 (before the track 1, after it 0, in gaps 1), "
              "from file date 2; track offset 0:00, photo offset +1:00, tolerance 60 s");
    EXPECT_EQ(summaryLine(summary(1, 0, 0, 0, 0, 0), {0, 0, 60, true}),
              "1 points, 0 photos: placed 0, not placed 0 (before the track 0, after it 0, in gaps 0), "
              "from file date 0; track offset 0:00, photo offset 0:00, tolerance 60 s, photo times to UTC by "
              "their own zones");
}

// Rows deleted since the pass: the tooltip tells the table as it stands and
// says that the position shown is from before the change.
TEST(PlacementTexts, RowToolTipNotesAStalePosition) {
    LanguageScope russian(Language::Russian);
    DataTable t;
    auto add = [&](const char* stat, double seconds, double lat) {
        t.append();
        t.field(FieldId::Stat).setAsString(stat);
        t.field(FieldId::Time).setAsDateTime(40513.5 + seconds / 86400);
        if (lat != 0) t.field(FieldId::Lat).setAsFloat(lat);
        t.post();
    };
    add("T", 0, 55);
    add("F", 30, 0);
    add("T", 600, 56);
    CalcPositions(t, {});
    EXPECT_EQ(photoRowToolTip(t, 0, 300), "");
    EXPECT_EQ(photoRowToolTip(t, 1, 300), "Привязано: до ближайшей точки трека 30 с\nВремя съёмки из EXIF");
    t.moveTo(0);
    t.deleteRow();
    EXPECT_EQ(photoRowToolTip(t, 0, 300),
              "Не привязано: снято за 570 с (0:09:30) до начала трека\nВремя съёмки из EXIF\n"
              "Таблица изменена после расчёта: координаты пересчитаются при следующей загрузке или смене смещений");
    EXPECT_EQ(photoRowToolTip(t, 5, 300), "");
    // A position the file carried, south and west as well, comes last.
    t.setPhotoFacts(0, {{}, PhotoGps{-0.5, -70.25, 12.0, std::nullopt}});
    EXPECT_THAT(photoRowToolTip(t, 0, 300),
                ::testing::EndsWith("смене смещений\nВ фото уже были координаты: 0 30.0000 S, 70 15.0000 W"));
}

// The text of an EXIF date that was no date stays with its row through the
// pass's sort and other rows' deletion, and goes with the row.
TEST(PlacementTexts, RowToolTipNamesAnInvalidExifDate) {
    LanguageScope russian(Language::Russian);
    DataTable t;
    auto add = [&](const char* stat, double seconds, char source, const char* exifDate, const char* file = "") {
        t.append();
        t.field(FieldId::Stat).setAsString(stat);
        t.field(FieldId::FileName).setAsString(file);
        t.field(FieldId::Time).setAsDateTime(40513.5 + seconds / 86400);
        t.field(FieldId::TimeSource).setAsString(std::string(1, source));
        t.post();
        if (*exifDate) t.setInvalidExifDate(t.recNo(), exifDate);
    };
    add("F", 900, kTimeFromFileDateExifInvalid, "2021:02:30 10:00:00", "/trip.2024/IMG_0001.jpeg");
    add("F", 60, kTimeFromFileDateExifInvalid, "0000:00:00 00:00:00");
    add("F", 30, kTimeFromFileDate, "", "/trip.2024/IMG_0002");
    add("T", 0, 0, "");
    add("F", 45, kTimeFromFileDate, "", "IMG_0003.hif");
    add("F", 1000, kTimeFromFileDateExifInvalid, "0001:05:01 10:00:00");
    CalcPositions(t, {});  // sorts: T, F 30, F 45, F 60, F 900, F 1000
    EXPECT_EQ(photoRowToolTip(t, 1, 300), "Не привязано: снято через 30 с после конца трека\n"
                                          "Время съёмки взято из даты файла: в EXIF его нет");
    EXPECT_EQ(photoRowToolTip(t, 2, 300), "Не привязано: снято через 45 с после конца трека\n"
                                          "Время съёмки взято из даты файла HEIF: в EXIF его нет");
    EXPECT_EQ(photoRowToolTip(t, 4, 300), "Не привязано: снято через 900 с (0:15:00) после конца трека\n"
                                          "Время съёмки взято из даты файла JPEG: дата EXIF недопустима: 2021:02:30 10:00:00");
    EXPECT_EQ(photoRowToolTip(t, 5, 300), "Не привязано: снято через 1000 с (0:16:40) после конца трека\n"
                                          "Время съёмки взято из даты файла: год в дате EXIF раньше 1900: "
                                          "0001:05:01 10:00:00");
    t.moveTo(5);
    t.deleteRow();
    t.moveTo(2);
    t.deleteRow();
    t.moveTo(2);
    t.deleteRow();
    EXPECT_EQ(t.invalidExifDate(2), "2021:02:30 10:00:00");
    t.moveTo(2);
    t.deleteRow();
    t.append();
    t.field(FieldId::Stat).setAsString("F");
    t.post();
    EXPECT_EQ(t.invalidExifDate(2), "");
    EXPECT_EQ(t.invalidExifDate(1), "");
}

TEST(PlacementTexts, LocalTimeZonesAndCameras) {
    Placement placed{PlacementKind::Placed, 25000, false, {}};
    placed.localZone = LocalZone{LocalZone::Status::Found, "Europe/Berlin", 7200};
    Placement lost{PlacementKind::NoLocalZone, 0, false, {}};
    lost.localZone = LocalZone{LocalZone::Status::NoConsistentZone, "Europe/Moscow", 10800};
    EXPECT_EQ(placementLine(placed, 300), "placed, 25 s from the nearer point; local time Europe/Berlin, UTC+02:00");
    {
        LanguageScope russian(Language::Russian);
        EXPECT_EQ(placementToolTip(placed, 300),
                  "Привязано: до ближайшей точки трека 25 с\nВремя съёмки из EXIF; местное время Europe/Berlin, "
                  "UTC+02:00");
        EXPECT_NE(placementToolTip(lost, 300).find("ни в одном часовом поясе трека"), std::string::npos);
    }

    PlacementSummary s = summary(10, 3, 0, 0, 0, 0);
    s.photos = 5;
    s.noLocalZone = 2;
    s.cameras = {{"Canon EOS R5 …0012", 1, 2}, {"iPhone 15", 2, 0}};
    BindingParams p;
    p.cameras = {{CameraKey{"Apple", "iPhone 15", ""}, std::nullopt, true}};
    EXPECT_EQ(summaryLine(s, p),
              "10 points, 5 photos: placed 3, not placed 2 (before the track 0, after it 0, in gaps 0, no time zone 2), "
              "from file date 0; track offset 0:00, photo offset 0:00, tolerance 300 s, camera iPhone 15 on local "
              "time; camera Canon EOS R5 …0012: placed 1, not placed 2; camera iPhone 15: placed 2, not placed 0");
    EXPECT_EQ(summaryStatusText(s),
              "10 points, 5 photos: placed 3, not placed 2 (no time zone 2); Canon EOS R5 …0012: placed 1, "
              "not placed 2; iPhone 15: placed 2, not placed 0");
    s.cameras.pop_back();  // one camera: its counts are the totals
    EXPECT_EQ(summaryStatusText(s), "10 points, 5 photos: placed 3, not placed 2 (no time zone 2)");
}
