#include "input/photoscanner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>

#include "binding/calcpositions.h"
#include "input/exif.h"
#include "input/exiffixtures.h"
#include "table/datatable.h"
#include "table/datetime.h"

namespace fs = std::filesystem;
using namespace geovanta;
using namespace geovanta::test;

namespace {

Bytes jpegWithDate(const std::string& dateTime, const std::string& zone = "") {
    TiffBuilder t(false);
    t.ascii(TiffBuilder::Exif, 0x9003, dateTime);
    if (!zone.empty()) t.ascii(TiffBuilder::Exif, 0x9011, zone);
    return JpegBuilder().exif(t.build()).startOfScan().build();
}

Bytes rawWithDate(const std::string& dateTime) {
    TiffBuilder t(true);
    t.ascii(TiffBuilder::Exif, 0x9003, dateTime);
    return t.build();
}

const Bytes kNoExif = JpegBuilder().app0().startOfScan().build();

// A photograph whose file ends in the middle of its shooting time's text.
Bytes cutInsideTheDate() {
    const std::string date = "2010:12:01 11:15:00";
    Bytes b = jpegWithDate(date);
    b.erase(std::search(b.begin(), b.end(), date.begin(), date.end()) + 10, b.end());
    return b;
}

Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Sets a file's modification time to a local civil time.
void setLocalWriteTime(const fs::path& p, int y, int mo, int d, int h, int mi, int s) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    const auto sys = std::chrono::system_clock::from_time_t(std::mktime(&tm));
    fs::last_write_time(p, std::chrono::file_clock::from_sys(sys));
}

// Photo names in the order the platform lists the folder.
std::vector<std::string> listedPhotos(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.is_regular_file() && isPhotoName(e.path().filename().string())) names.push_back(e.path().filename().string());
    return names;
}

// Rows by creation number, i.e. in the order they were appended.
std::vector<std::size_t> rowsInAppendOrder(const DataTable& t) {
    std::vector<std::size_t> rows(t.rowCount());
    for (std::size_t k = 0; k < rows.size(); ++k) rows[k] = k;
    std::sort(rows.begin(), rows.end(), [&](auto a, auto b) { return t.creationNumber(a) < t.creationNumber(b); });
    return rows;
}

int64_t at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return *civilToMs(CivilDateTime{y, mo, d, h, mi, s, 0});
}

struct Scan {
    DataTable table;
    std::string folder;
    explicit Scan(std::string photoFolder) : folder(std::move(photoFolder)) {}
    LoadResult run() { return LoadFotos(table, folder); }
};

}  // namespace

TEST(PhotoScanner, WorkedFolder) {
    TempDir dir;
    dir.write("IMG_0001.JPG", jpegWithDate("2010:12:01 11:15:00"));
    const std::string plain = dir.write("img_0002.jpg", kNoExif);
    setLocalWriteTime(plain, 2011, 3, 4, 5, 6, 7);
    dir.write("DSC_0003.NEF", rawWithDate("2010:12:01 11:20:00"));
    dir.write("notes.txt", textBytes("not a photograph"));

    Scan scan(dir.folder());
    ASSERT_TRUE(scan.run().ok());
    const DataTable& t = scan.table;
    ASSERT_EQ(t.rowCount(), 3u);
    EXPECT_EQ(t.lastScanPhotoCount(), 3);

    const std::map<std::string, int64_t> times = {{"IMG_0001", daysToMs(40513.46875L)},
                                                  {"img_0002", at(2011, 3, 4, 5, 6, 6)},  // two-second steps
                                                  {"DSC_0003", at(2010, 12, 1, 11, 20)}};
    const std::vector<std::string> listed = listedPhotos(dir.path());
    const std::vector<std::size_t> rows = rowsInAppendOrder(t);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const std::size_t row = rows[k];
        const std::string name = nameWithoutExtension(listed[k]);
        SCOPED_TRACE(name);
        EXPECT_EQ(t.text(row, FieldId::Stat), "F");
        EXPECT_EQ(t.text(row, FieldId::Name), name);
        EXPECT_EQ(t.text(row, FieldId::FileName), dir.folder() + listed[k]);
        EXPECT_EQ(t.timeMs(row, FieldId::Time), times.at(name));
        EXPECT_TRUE(t.isNull(row, FieldId::VTime));  // binding is the load's, not the scanner's
        EXPECT_TRUE(t.isNull(row, FieldId::Lat));
        EXPECT_EQ(t.timeSource(row), name == "img_0002" ? kTimeFromFileDate : kTimeFromExif);
    }
    EXPECT_EQ(t.suspendCount(), 0);
}

TEST(PhotoScanner, NamesAndFolders) {
    EXPECT_EQ(normalisedFolderPath(""), "");
    EXPECT_EQ(normalisedFolderPath("/photos/"), "/photos/");
    EXPECT_EQ(normalisedFolderPath("/photos"), "/photos/");
    EXPECT_EQ(normalisedFolderPath("c"), "c/");

    for (const char* yes : {"a.JPG", "a.jpg", "a.Jpg", "a.nef", "b.NEF", "holiday.2010.jpg", ".jpg", "photo.jpeg",
                            "a.TIFF", "a.cr3", "a.Cr2", "a.crw", "a.arw", "a.rw2", "a.raf", "a.3FR", "a.iiq",
                            "a.heic", "a.HIF", "a.avif", "a.dng", "a.orf", "a.pef", "a.srw", "a.sr2", "a.srf"})
        EXPECT_TRUE(isPhotoName(yes)) << yes;
    for (const char* no : {"a.png", "a.mrw", "a.xmp", "jpg", "a.jpg.txt", ".", "..", "a.JPG ", "a.heics"})
        EXPECT_FALSE(isPhotoName(no)) << no;

    TempDir dir;
    dir.write("holiday.2010.jpg", kNoExif);
    dir.write("photo.jpeg", kNoExif);
    dir.write("photo.png", kNoExif);
    const std::string longName(80, 'x');
    dir.write(longName + ".jpg", kNoExif);
    // None of these is a photograph, and each is named: a folder, a pipe
    // (which must not block the scan), a device, a link that leads nowhere.
    fs::create_directory(dir.path() / "Old.JPG");
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.jpg").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", dir.path() / "device.CR3");
    fs::create_symlink("gone.jpg", dir.path() / "dangling.jpg");

    Scan scan(dir.path().string());  // typed without a trailing separator
    const PhotoScanResult scanned = LoadFotos(scan.table, scan.folder);
    std::map<std::string, std::string> leftOut;
    for (const LeftOutFile& f : scanned.leftOut) leftOut[fs::path(f.path).filename().string()] = f.reason;
    EXPECT_EQ(leftOut, (std::map<std::string, std::string>{{"Old.JPG", "a folder with a photograph's name; not read"},
                                                           {"pipe.jpg", "not a regular file"},
                                                           {"device.CR3", "not a regular file"},
                                                           {"dangling.jpg", "a link that leads nowhere"}}));
    ASSERT_EQ(scan.table.rowCount(), 3u);
    EXPECT_EQ(scan.table.lastScanPhotoCount(), 3);
    std::vector<std::string> names;
    for (std::size_t r = 0; r < 3; ++r) {
        names.emplace_back(scan.table.text(r, FieldId::Name));
        const std::string fileName(scan.table.text(r, FieldId::FileName));
        EXPECT_EQ(fileName.rfind(dir.folder(), 0), 0u);
        // What the writer compares the file with before it writes.
        ASSERT_NE(scan.table.fileStamp(r), nullptr);
        EXPECT_EQ(*scan.table.fileStamp(r), fileStampOf(fileName));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names[0], "holiday.2010");
    EXPECT_EQ(names[1], "photo");
    EXPECT_EQ(names[2], std::string(64, 'x'));
    EXPECT_EQ(scan.folder, dir.path().string());
}

// A date-time that is no date is no shooting time: the file's date stands
// in, as without EXIF data, and the row keeps the text to say why.
TEST(PhotoScanner, UnusualShootingTimes) {
    struct Case {
        const char* name;
        std::optional<std::string> exif;  // nothing: no EXIF data at all
        char source;
    };
    const Case cases[] = {
        {"good", "2010:12:01 11:15:00", kTimeFromExif},
        {"blank", "    :  :     :  :  ", kTimeFromFileDate},  // the form for "unknown"
        {"none", std::nullopt, kTimeFromFileDate},
        {"zero", "0000:00:00 00:00:00", kTimeFromFileDateExifInvalid},
        {"feb30", "2021:02:30 10:00:00", kTimeFromFileDateExifInvalid},
        {"month13", "2021:13:01 10:00:00", kTimeFromFileDateExifInvalid},
        {"hour24", "2021:01:01 24:00:00", kTimeFromFileDateExifInvalid},
        {"second60", "2021:01:01 10:00:60", kTimeFromFileDateExifInvalid},
        {"notime", "2010:12:01", kTimeFromFileDateExifInvalid},
    };
    TempDir dir;
    for (const Case& c : cases) {
        // Files written before 1980 are read like any other.
        // The zone goes only with a time from EXIF, never with a file's date.
        const std::string path =
            dir.write(std::string(c.name) + ".jpg", c.exif ? jpegWithDate(*c.exif, "-04:00") : kNoExif);
        setLocalWriteTime(path, 1975, 1, 2, 3, 4, 5);
    }
    Scan scan(dir.folder());
    ASSERT_TRUE(scan.run().ok());
    const DataTable& t = scan.table;
    ASSERT_EQ(t.rowCount(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t row = 0;
        while (t.text(row, FieldId::Name) != c.name) ++row;
        EXPECT_EQ(t.timeSource(row), c.source);
        EXPECT_EQ(t.timeMs(row, FieldId::Time), c.source == kTimeFromExif ? at(2010, 12, 1, 11, 15) : at(1975, 1, 2, 3, 4, 4));
        EXPECT_EQ(t.invalidExifDate(row), c.source == kTimeFromFileDateExifInvalid ? *c.exif : "");
        EXPECT_EQ(t.photoZone(row), c.source == kTimeFromExif ? std::optional<int>(-240) : std::nullopt);
    }
}

// A photograph cut anywhere before the end of its shooting time's text is
// left out as damaged, never timed by its file's date.
TEST(PhotoScanner, PhotosCutInsideTheirExifData) {
    const Bytes real = fileBytes(std::string(GEOVANTA_TEST_DATA) + "/exif/le.jpg");
    const std::string date = "2010:12:01 11:15:00";
    const auto found = std::search(real.begin(), real.end(), date.begin(), date.end());
    ASSERT_NE(found, real.end());
    const auto dateEnd = static_cast<std::size_t>(found - real.begin()) + date.size();
    TempDir dir;
    std::map<std::string, std::size_t> cutAt;
    for (std::size_t n = 0; n <= dateEnd + 1; ++n) {
        const std::string name = "cut" + std::to_string(n) + ".jpg";
        cutAt[dir.write(name, Bytes(real.begin(), real.begin() + static_cast<std::ptrdiff_t>(n)))] = n;
    }
    DataTable table;
    const PhotoScanResult r = LoadFotos(table, dir.folder());
    std::size_t leftOut = 0;
    for (const LeftOutFile& f : r.leftOut) {
        SCOPED_TRACE(f.path);
        EXPECT_LT(cutAt.at(f.path), dateEnd);
        EXPECT_EQ(f.reason, readBeyondEndMessage());
        ++leftOut;
    }
    EXPECT_EQ(leftOut, dateEnd);
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        EXPECT_GE(cutAt.at(std::string(table.text(row, FieldId::FileName))), dateEnd);
        EXPECT_EQ(table.timeSource(row), kTimeFromExif);
    }
}

// Damaged photographs before, between and after good ones, in the order the
// platform lists them: every good one loads and is bound, every damaged one
// is named with its reason.
TEST(PhotoScanner, DamagedPhotosAreLeftOutAndTheScanGoesOn) {
    const Bytes real = fileBytes(std::string(GEOVANTA_TEST_DATA) + "/exif/le.jpg");
    ASSERT_GT(real.size(), 200u);
    auto cut = [&](std::size_t n) { return Bytes(real.begin(), real.begin() + static_cast<std::ptrdiff_t>(n)); };
    TempDir dir;
    for (int k = 0; k < 9; ++k) dir.write("p" + std::to_string(k) + ".jpg", real);
    const std::vector<std::string> listed = listedPhotos(dir.path());
    ASSERT_EQ(listed.size(), 9u);
    // Listing position -> what is written there instead of the whole photograph.
    const std::map<std::size_t, std::pair<Bytes, std::string>> damaged = {
        {0, {cut(3), "Read beyond end of file"}},
        {4, {cut(30), "Read beyond end of file"}},
        {6, {cutInsideTheDate(), "Read beyond end of file"}},
        {8, {cut(200), "Read beyond end of file"}}};
    std::vector<LeftOutFile> expected;
    for (const auto& [at, bad] : damaged) {
        dir.write(listed[at], bad.first);
        expected.push_back({dir.folder() + listed[at], bad.second});
    }

    Scan scan(dir.folder());
    const PhotoScanResult result = LoadFotos(scan.table, scan.folder);
    EXPECT_EQ(result.status, LoadResult::Status::Failed);
    EXPECT_EQ(result.leftOut, expected);
    std::string lines;
    for (const LeftOutFile& f : expected) lines += (lines.empty() ? "" : "\n") + f.path + ": " + f.reason;
    EXPECT_EQ(result.message, lines);

    const DataTable& t = scan.table;
    const std::vector<std::size_t> rows = rowsInAppendOrder(t);
    std::vector<std::string> good;
    for (std::size_t k = 0; k < listed.size(); ++k)
        if (!damaged.count(k)) good.push_back(nameWithoutExtension(listed[k]));
    ASSERT_EQ(rows.size(), good.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(t.text(rows[k], FieldId::Name), good[k]);
        EXPECT_EQ(t.timeMs(rows[k], FieldId::Time), daysToMs(40513.46875L));  // 11:15:00
        EXPECT_EQ(t.timeSource(rows[k]), kTimeFromExif);
    }
    EXPECT_EQ(t.lastScanPhotoCount(), 9);
    EXPECT_EQ(t.suspendCount(), 0);
    EXPECT_EQ(t.state(), DataTable::State::Browse);
}

namespace {

// Runs `body` in a child process that, when the tests run as root, has given
// up root's right to read every file; true when the body returned true.
bool asUnprivileged(const std::function<bool()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool check(bool ok, const std::string& what) {
    if (!ok) std::fprintf(stderr, "failed: %s\n", what.c_str());
    return ok;
}

}  // namespace

// A photograph that cannot be opened is left out with the reason, not timed
// by its file's date; a folder that cannot be listed is no empty folder.
TEST(PhotoScanner, UnreadableFilesAndFoldersAreNamed) {
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const std::string exif = dir.write("exif.jpg", jpegWithDate("2010:12:01 11:15:00"));
    const std::string plain = dir.write("plain.jpg", kNoExif);
    const std::string locked = dir.write("locked.jpg", kNoExif);
    const std::string lockedExif = dir.write("locked-exif.jpg", jpegWithDate("2010:12:01 11:15:00"));
    ::chmod(locked.c_str(), 0);
    ::chmod(lockedExif.c_str(), 0);
    fs::create_directory(dir.path() / "closed");
    dir.write("closed/inside.jpg", kNoExif);
    ::chmod((dir.path() / "closed").c_str(), 0);

    EXPECT_TRUE(asUnprivileged([&] {
        DataTable table;
        PhotoScanResult r = LoadFotos(table, dir.folder());
        std::sort(r.leftOut.begin(), r.leftOut.end(), [](auto& a, auto& b) { return a.path < b.path; });
        const std::vector<LeftOutFile> expected = {{lockedExif, "File access denied"}, {locked, "File access denied"}};
        bool ok = check(r.leftOut == expected, "locked photographs named") && check(!r.ok(), "reported") &&
                  check(table.rowCount() == 2, "two rows");
        for (std::size_t row = 0; row < table.rowCount(); ++row) {
            const bool fromExif = table.text(row, FieldId::FileName) == exif;
            ok &= check(table.timeSource(row) == (fromExif ? kTimeFromExif : kTimeFromFileDate), "time source");
        }

        DataTable none;
        const PhotoScanResult closed = LoadFotos(none, (dir.path() / "closed").string());
        ok &= check(closed.leftOut.size() == 1, "one entry for the folder") &&
              check(closed.leftOut[0].path == dir.folder() + "closed/", "the folder's name") &&
              check(closed.leftOut[0].reason == "the folder cannot be listed: Permission denied", closed.message) &&
              check(none.rowCount() == 0 && closed.status == LoadResult::Status::Failed, "nothing loaded, reported");
        return ok;
    }));
    ::chmod((dir.path() / "closed").c_str(), 0755);
}

TEST(PhotoScanner, RepeatedAndEmptyScans) {
    TempDir dir;
    dir.write("a.jpg", jpegWithDate("2010:12:01 11:15:00"));
    dir.write("b.JPG", kNoExif);
    Scan scan(dir.folder());
    ASSERT_TRUE(scan.run().ok());
    ASSERT_TRUE(scan.run().ok());
    EXPECT_EQ(scan.table.rowCount(), 4u);
    EXPECT_EQ(scan.table.lastScanPhotoCount(), 2);

    TempDir empty;
    for (const std::string& folder : {empty.folder(), empty.folder() + "missing/"}) {
        scan.folder = folder;
        ASSERT_TRUE(scan.run().ok());
        EXPECT_EQ(scan.table.rowCount(), 4u);
        EXPECT_EQ(scan.table.lastScanPhotoCount(), 0);
        EXPECT_EQ(scan.table.suspendCount(), 0);
    }
}

// Photographs taken between two track points get a position in between.
TEST(PhotoScanner, PhotosArePlacedOnTheTrack) {
    Scan scan("");
    DataTable& t = scan.table;
    const struct {
        int64_t time;
        double lat, lon;
    } track[] = {{at(2010, 12, 1, 11, 10), 55.0, 37.0}, {at(2010, 12, 1, 11, 20), 55.1, 37.2}};
    for (const auto& p : track) {
        t.append();
        t.setText(t.recNo(), FieldId::Stat, "T");
        t.setTimeMs(t.recNo(), FieldId::Time, p.time);
        t.setReal(t.recNo(), FieldId::Lat, p.lat);
        t.setReal(t.recNo(), FieldId::Lon, p.lon);
    }
    TempDir dir;
    dir.write("mid.jpg", jpegWithDate("2010:12:01 11:14:00"));  // 4 minutes from the first point
    dir.write("late.jpg", jpegWithDate("2011:01:01 00:00:00"));
    scan.folder = dir.folder();
    ASSERT_TRUE(scan.run().ok());
    CalcPositions(t, BindingParams{});
    ASSERT_EQ(t.rowCount(), 4u);
    for (std::size_t r = 0; r < t.rowCount(); ++r) {
        if (t.text(r, FieldId::Name) == "mid") {
            EXPECT_NEAR(t.real(r, FieldId::Lat), 55.04, 1e-9);
            EXPECT_NEAR(t.real(r, FieldId::Lon), 37.08, 1e-9);
        } else if (t.text(r, FieldId::Name) == "late") {
            EXPECT_TRUE(t.isNull(r, FieldId::Lat));
        }
    }
}

// A folder read in several rounds of readers at once: rows, left-out files
// and the count still come in listing order, each with its own time.
TEST(PhotoScanner, ManyPhotosKeepListingOrder) {
    TempDir dir;
    constexpr int kPhotos = 2500;
    for (int k = 0; k < kPhotos; ++k) {
        char date[32];
        std::snprintf(date, sizeof date, "2010:12:%02d %02d:%02d:00", 1 + k / 1440, k / 60 % 24, k % 60);
        dir.write("p" + std::to_string(k) + ".jpg", k % 7 ? jpegWithDate(date) : cutInsideTheDate());
    }
    const std::vector<std::string> listed = listedPhotos(dir.path());
    ASSERT_EQ(listed.size(), static_cast<std::size_t>(kPhotos));
    Scan scan(dir.folder());
    const PhotoScanResult result = LoadFotos(scan.table, scan.folder);
    std::vector<LeftOutFile> expectedLeftOut;
    std::vector<std::string> expectedRows;
    for (const std::string& name : listed) {
        const int k = std::stoi(name.substr(1));
        if (k % 7)
            expectedRows.push_back(nameWithoutExtension(name));
        else
            expectedLeftOut.push_back({dir.folder() + name, "Read beyond end of file"});
    }
    EXPECT_EQ(result.leftOut, expectedLeftOut);
    EXPECT_EQ(scan.table.lastScanPhotoCount(), kPhotos);
    const std::vector<std::size_t> rows = rowsInAppendOrder(scan.table);
    ASSERT_EQ(rows.size(), expectedRows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(scan.table.text(rows[i], FieldId::Name), expectedRows[i]);
        const int k = std::stoi(expectedRows[i].substr(1));
        ASSERT_EQ(scan.table.timeMs(rows[i], FieldId::Time), at(2010, 12, 1 + k / 1440, k / 60 % 24, k % 60));
    }
}
