// The EXIF thumbnail: found where ExifTool finds it, and nothing read
// outside the EXIF data of a damaged file.
#include "input/exifthumbnail.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "input/exiffixtures.h"
#include "support/tempdir.h"

using namespace geovanta;
using test::Bytes;

namespace {

const std::string kExifTool = std::string(GEOVANTA_BIN_DIR) + "/exiftool";
const std::string kExamples = std::string(GEOVANTA_TEST_DATA) + "/../../examples/photos/";

std::string run(const std::string& command) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
    return out;
}

Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Little-endian TIFF data: an empty IFD0 whose next directory, IFD1, names
// the thumbnail by `offset` and `length`; `image` follows at offset 44.
Bytes tiffWithThumbnail(uint32_t offset, uint32_t length, const Bytes& image, uint32_t ifd1 = 14) {
    const test::TiffBuilder le(false);
    Bytes b{'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0};
    auto add = [&](const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); };
    add(le.u32(ifd1));
    add(le.u16(2));
    for (const auto& [tag, value] : {std::pair<uint16_t, uint32_t>(0x0201, offset), {0x0202, length}}) {
        add(le.u16(tag));
        add(le.u16(4));
        add(le.u32(1));
        add(le.u32(value));
    }
    add(le.u32(0));
    add(image);
    return b;
}

}  // namespace

TEST(ExifThumbnail, WhereExifToolFindsItInCameraFiles) {
    const std::string images = std::string(GEOVANTA_SHARED_DIR) + "/corpus/images";
    if (!std::filesystem::is_directory(images)) GTEST_SKIP() << "no corpus at " << images;
    std::istringstream table(run("'" + kExifTool + "' -q -q -T -FileName -IFD1:ThumbnailOffset -IFD1:ThumbnailLength '" +
                                 images + "'"));
    int found = 0;
    for (std::string line; std::getline(table, line);) {
        std::istringstream cells(line);
        std::string name, offset, length;
        std::getline(cells, name, '\t');
        std::getline(cells, offset, '\t');
        std::getline(cells, length, '\t');
        SCOPED_TRACE(name);
        const std::string path = images + "/" + name;
        const auto got = ExifThumbnail::locate(path);
        const Bytes bytes = fileBytes(path);
        // Stubs of a few bytes in test files are no pictures.
        const bool jpegThere = offset != "-" && length != "-" && std::stoull(offset) + 2 <= bytes.size() &&
                               bytes[std::stoull(offset)] == 0xFF && bytes[std::stoull(offset) + 1] == 0xD8;
        if (!jpegThere) {
            EXPECT_FALSE(got) << got->offset;
            continue;
        }
        ASSERT_TRUE(got);
        EXPECT_EQ(got->offset, std::stoull(offset));
        EXPECT_EQ(got->length, std::stoul(length));
        ++found;
    }
    EXPECT_GT(found, 10);
}

TEST(ExifThumbnail, ReadsTheOneExifToolWrote) {
    test::TempDir dir;
    std::filesystem::copy_file(kExamples + "IMG_0002.JPG", dir.file("photo.jpg"));
    const std::string thumb = kExamples + "IMG_0003.JPG";
    run("'" + kExifTool + "' -q -overwrite_original '-ThumbnailImage<=" + thumb + "' '" + dir.file("photo.jpg") + "'");
    EXPECT_EQ(ExifThumbnail::read(dir.file("photo.jpg")), fileBytes(thumb));
    EXPECT_TRUE(ExifThumbnail::read(kExamples + "IMG_0002.JPG").empty());  // written without one
}

TEST(ExifThumbnail, NothingOutsideTheExifData) {
    const Bytes image{0xFF, 0xD8, 0xFF, 0xD9, 1, 2, 3, 4};
    const auto n = static_cast<uint32_t>(image.size());
    const struct {
        const char* what;
        Bytes tiff;
        bool found;
    } cases[] = {
        {"whole", tiffWithThumbnail(44, n, image), true},
        {"longer than the segment", tiffWithThumbnail(44, n + 20, image), false},
        {"longer than any thumbnail", tiffWithThumbnail(44, 0xFFFFFFFF, image), false},
        {"offset far beyond", tiffWithThumbnail(0xFFFFFFF0, n, image), false},
        {"not a JPEG", tiffWithThumbnail(45, n - 1, image), false},
        {"IFD1 is IFD0", tiffWithThumbnail(44, n, image, 8), false},
        {"IFD1 beyond the end", tiffWithThumbnail(44, n, image, 4000), false},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string jpeg = dir.write("t.jpg", test::JpegBuilder().app0().exif(c.tiff).startOfScan().build());
        const std::string raw = dir.write("t.tif", c.tiff);
        EXPECT_EQ(ExifThumbnail::read(jpeg), c.found ? image : Bytes());
        EXPECT_EQ(ExifThumbnail::read(raw), c.found ? image : Bytes());
    }
    // A file cut short inside its thumbnail.
    Bytes cut = tiffWithThumbnail(44, n, image);
    cut.erase(cut.end() - 2, cut.end());
    EXPECT_TRUE(ExifThumbnail::read(dir.write("cut.tif", cut)).empty());
}
