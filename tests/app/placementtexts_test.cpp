#include "app/placementtexts.h"

#include <gtest/gtest.h>

using namespace geovanta;

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
    EXPECT_EQ(durationText(0, "s"), "0 s");
    EXPECT_EQ(durationText(12500, "s"), "12.5 s");
    EXPECT_EQ(durationText(59999, "s"), "59.999 s");
    EXPECT_EQ(durationText(60000, "с"), "60 с (0:01:00)");
    EXPECT_EQ(durationText(-1812000, "s"), "1812 s (0:30:12)");
    EXPECT_EQ(durationText(93784000, "s"), "93784 s (26:03:04)");

    EXPECT_EQ(offsetText(0, "d"), "0:00");
    EXPECT_EQ(offsetText(1.0 / 24, "d"), "+1:00");
    EXPECT_EQ(offsetText(-(2 + 0.5 / 24), "сут"), "-2 сут 0:30");
    EXPECT_EQ(offsetText(0.0001, "d"), "+0:00:08.640");  // a settings file may hold any fraction
    EXPECT_EQ(offsetText(-1.0 / 1440, "d"), "-0:01");
}

TEST(PlacementTexts, WindowSummaryAndOffsets) {
    EXPECT_EQ(summaryStatusText(summary(18, 4, 1, 0, 0, 0)),
              "18 точек, 5 фото: привязано 4, не привязано 1 (до трека 1, после трека 0, в разрывах 0), "
              "по дате файла 0");
    EXPECT_EQ(summaryStatusText(summary(21, 0, 0, 1, 2, 3)).rfind("21 точка, 3 фото:", 0), 0u);
    EXPECT_EQ(summaryStatusText(summary(22, 0, 0, 0, 0, 0)), "22 точки, фотографий нет");
    EXPECT_EQ(summaryStatusText(summary(111, 0, 0, 0, 0, 0)), "111 точек, фотографий нет");
    PlacementSummary noTrack;
    noTrack.photos = noTrack.noTrack = 2;
    EXPECT_EQ(summaryStatusText(noTrack), "0 точек, 2 фото: привязано 0, не привязано 2 (трек не загружен), по дате файла 0");
    EXPECT_EQ(offsetsStatusText({0, -1.0 / 24, 300}), "Смещение трека 0:00, фото -1:00, допуск 300 с");
}

TEST(PlacementTexts, ReasonsInBothLanguages) {
    const struct {
        Placement placement;
        const char* window;
        const char* line;
    } cases[] = {
        {{PlacementKind::Placed, 25000, false}, "Привязано: до ближайшей точки трека 25 с\nВремя съёмки из EXIF",
         "placed, 25 s from the nearer point"},
        {{PlacementKind::BeforeTrack, 180000, true},
         "Не привязано: снято за 180 с (0:03:00) до начала трека\nВремя съёмки взято из даты файла: в EXIF его нет",
         "not placed: before the first point by 180 s (0:03:00); time from the file's date"},
        {{PlacementKind::AfterTrack, 1800000, false},
         "Не привязано: снято через 1800 с (0:30:00) после конца трека\nВремя съёмки из EXIF",
         "not placed: after the last point by 1800 s (0:30:00)"},
        {{PlacementKind::InGap, 420000, false},
         "Не привязано: разрыв в треке, до ближайшей точки 420 с (0:07:00), допуск 300 с\nВремя съёмки из EXIF",
         "not placed: in a gap, nearest point 420 s (0:07:00) away, tolerance 300 s"},
        {{PlacementKind::NoTrack, 0, false}, "Не привязано: трек не загружен\nВремя съёмки из EXIF",
         "not placed: no track loaded"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(placementToolTip(c.placement, 300), c.window);
        EXPECT_EQ(placementLine(c.placement, 300), c.line);
    }
    EXPECT_EQ(summaryLine(summary(76, 8, 1, 0, 1, 2), {0, 1.0 / 24, 60}),
              "76 points, 10 photos: placed 8, not placed 2 (before the track 1, after it 0, in gaps 1), "
              "from file date 2; track offset 0:00, photo offset +1:00, tolerance 60 s");
}
