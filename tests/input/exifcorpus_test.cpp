// Real camera files from other projects, read in place, against ExifTool's
// reading of the EXIF shooting time.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "input/exif.h"
#include "input/photofolders.h"
#include "support/tempdir.h"

using namespace geovanta;

namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, '\t')) cells.push_back(cell);
    if (!line.empty() && line.back() == '\t') cells.emplace_back();
    return cells;
}

const std::string kCorpus = std::string(GEOVANTA_SHARED_DIR) + "/corpus/";

bool haveCorpus() { return std::filesystem::is_directory(kCorpus + "images"); }

// ExifTool's date from the CIFF record of a CRW file, which is no EXIF tag.
std::string canonRawDate(const std::string& byGroup) {
    const std::string key = "CanonRaw=";
    const std::size_t at = byGroup.find(key);
    return at == std::string::npos ? "" : byGroup.substr(at + key.size(), 19);
}

}  // namespace

TEST(ExifCorpus, ReadsEveryImageAsExifToolDoes) {
    std::ifstream manifest(kCorpus + "MANIFEST.tsv");
    if (!manifest || !haveCorpus()) GTEST_SKIP() << "no corpus at " << kCorpus;

    std::string line;
    std::getline(manifest, line);
    const std::vector<std::string> header = splitTabs(line);
    std::size_t fileCol = 0, expectedCol = 0, byGroupCol = 0;
    for (std::size_t k = 0; k < header.size(); ++k) {
        if (header[k] == "file") fileCol = k;
        if (header[k] == "expected_exif_dto") expectedCol = k;
        if (header[k] == "dto_exiftool_by_group") byGroupCol = k;
    }
    ASSERT_GT(expectedCol, 0u);
    ASSERT_GT(byGroupCol, 0u);

    int images = 0, dated = 0;
    TExif exif;
    while (std::getline(manifest, line)) {
        const std::vector<std::string> cells = splitTabs(line);
        if (cells.size() <= byGroupCol || cells[fileCol].rfind("images/", 0) != 0) continue;
        const std::string& name = cells[fileCol];
        std::string expected = cells[expectedCol];
        if (expected.empty()) expected = canonRawDate(cells[byGroupCol]);
        SCOPED_TRACE(name);
        ++images;
        std::string error;
        try {
            exif.ReadExif(kCorpus + name);
        } catch (const ExifError& e) {
            error = e.what();
        }
        if (!isPhotoName(name)) {
            // Other formats (as Minolta's MRW) are not photographs to this program.
            EXPECT_EQ(error, "");
            EXPECT_FALSE(exif.ExifFound);
        } else if (!expected.empty()) {
            EXPECT_EQ(error, "");
            EXPECT_TRUE(exif.ExifFound);
            // ExifTool shows a blank "unknown" date without its leading blanks.
            const std::string& got = exif.DateTimeOriginal;
            const std::size_t start = std::min(got.find_first_not_of(' '), got.size());
            EXPECT_EQ(got.substr(start), expected);
            ++dated;
        } else if (!error.empty()) {
            EXPECT_EQ(error, readBeyondEndMessage());
        }
    }
    EXPECT_GT(images, 60);
    EXPECT_GT(dated, 45);
}

// The fraction of a second and the zone, as ExifTool reads them
// (SubSecTimeOriginal, OffsetTimeOriginal), in each kind of container.
TEST(ExifCorpus, FractionsAndZonesInEveryContainer) {
    if (!haveCorpus()) GTEST_SKIP() << "no corpus at " << kCorpus;
    struct Case {
        const char* file;
        bool found;
        uint16_t ms;
        std::optional<int> zone;
    };
    const Case cases[] = {
        {"exiftool__CanonRaw.cr3", true, 210, 0},              // "21", "+00:00"
        {"exiftool__FujiFilm.raf", true, 0, {}},
        {"mei__IMG_1034.heic", true, 277, {}},
        {"mei__Issue_263_dotnet.heic", true, 245, {}},
        {"exiftool__QuickTime.heic", false, 0, {}},            // no EXIF item
        {"mei__cheers_1440x960.heic", false, 0, {}},
        {"filetype__fixture-sony-zv-e10.arw", true, 583, -420},  // cut at 100 kB, after its EXIF data
        {"exiv2__IMG_1361.dng", true, 700, -300},
        {"exiftool__Panasonic.rw2", true, 0, {}},
        {"exiftool__PhaseOne.iiq", true, 0, {}},
        {"exiv2__exiv2-canon-powershot-s40.crw", true, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TExif exif;
        ASSERT_NO_THROW(exif.ReadExif(kCorpus + "images/" + c.file));
        EXPECT_EQ(exif.ExifFound, c.found);
        EXPECT_EQ(exif.DateTimeOriginal.empty(), !c.found);
        EXPECT_EQ(exif.SubSecTimeOriginalMs, c.ms);
        EXPECT_EQ(exif.TimeZoneOffsetMinutes, c.zone);
        // A few small reads, whatever the size of the image data.
        EXPECT_LT(exif.bytesRead(), 16u * 1024);
    }
}

// A photograph cut short anywhere is read whole or left out, never taken for
// one without a date: cuts from where its kind can be told (16 bytes) to just
// past its shooting time's text. CRW files are not among them: their offset
// table sits in their last bytes, so a cut one cannot always be told.
TEST(ExifCorpus, ContainersCutShort) {
    if (!haveCorpus()) GTEST_SKIP() << "no corpus at " << kCorpus;
    const std::pair<const char*, std::string> samples[] = {
        {"exiftool__CanonRaw.cr3", "2018:02:21 12:08:56"},  {"exiftool__FujiFilm.raf", "2007:05:22 13:58:30"},
        {"mei__IMG_1034.heic", "2018:02:05 15:11:44"},      {"exiftool__Panasonic.rw2", "2008:08:06 15:21:56"},
        {"exiftool__PhaseOne.iiq", "2013:06:19 15:44:21"},  {"exiv2__IMG_1361.dng", "2020:12:29 14:24:45"},
        {"filetype__fixture-sony-zv-e10.arw", "2021:07:24 14:23:06"},
    };
    geovanta::test::TempDir dir;
    for (const auto& [file, date] : samples) {
        std::ifstream in(kCorpus + "images/" + file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        const std::size_t dateAt = bytes.find(date);
        ASSERT_NE(dateAt, std::string::npos) << file;
        const std::size_t last = dateAt + date.size() + 64;
        for (std::size_t n = 16; n <= last; n += n + 20 >= dateAt && n <= dateAt + 20 ? 1 : 1 + last / 97) {
            SCOPED_TRACE(std::string(file) + " cut at " + std::to_string(n));
            const std::string path = dir.write(std::string("cut-") + file, std::string_view(bytes).substr(0, n));
            TExif exif;
            std::string error;
            try {
                exif.ReadExif(path);
            } catch (const ExifError& e) {
                error = e.what();
            }
            if (n < dateAt) {
                EXPECT_EQ(error, readBeyondEndMessage());
            } else if (error.empty()) {
                EXPECT_EQ(exif.DateTimeOriginal, date);
            } else {
                EXPECT_EQ(error, readBeyondEndMessage());
            }
        }
    }
}
