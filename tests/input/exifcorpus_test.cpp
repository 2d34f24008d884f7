// Real camera files from other projects, read in place, against ExifTool's
// reading of the EXIF shooting time.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "input/exif.h"

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

bool jpegOrTiff(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char start[2] = {};
    in.read(start, 2);
    const std::string s(start, 2);
    return s == "\xFF\xD8" || s == "MM" || s == "II";
}

}  // namespace

TEST(ExifCorpus, ReadsEveryImageAsExifToolDoes) {
    const std::string corpus = std::string(GEOVANTA_SHARED_DIR) + "/corpus/";
    std::ifstream manifest(corpus + "MANIFEST.tsv");
    if (!manifest || !std::filesystem::is_directory(corpus + "images")) GTEST_SKIP() << "no corpus at " << corpus;

    std::string line;
    std::getline(manifest, line);
    const std::vector<std::string> header = splitTabs(line);
    std::size_t fileCol = 0, expectedCol = 0;
    for (std::size_t k = 0; k < header.size(); ++k) {
        if (header[k] == "file") fileCol = k;
        if (header[k] == "expected_exif_dto") expectedCol = k;
    }
    ASSERT_GT(expectedCol, 0u);

    int images = 0, dated = 0;
    TExif exif;
    while (std::getline(manifest, line)) {
        const std::vector<std::string> cells = splitTabs(line);
        if (cells.size() <= expectedCol || cells[fileCol].rfind("images/", 0) != 0) continue;
        const std::string& name = cells[fileCol];
        const std::string& expected = cells[expectedCol];
        SCOPED_TRACE(name);
        ++images;
        std::string error;
        try {
            exif.ReadExif(corpus + name);
        } catch (const ExifError& e) {
            error = e.what();
        }
        if (!expected.empty() && !jpegOrTiff(corpus + name)) {
            // Other container formats (as Minolta's MRW) are not photographs to this program.
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
            EXPECT_EQ(error, kReadBeyondEndOfFile);
        }
    }
    EXPECT_GT(images, 50);
    EXPECT_GT(dated, 40);
}
