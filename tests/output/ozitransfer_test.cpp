// The transfer commands driven through the real library loader and the
// stand-in library, which writes every call it gets to a log file.
#include "output/ozitransfer.h"

#include <gtest/gtest.h>

#include <QLibraryInfo>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "output/qtcore/ozilibrary.h"
#include "support/fakedialogs.h"
#include "table/datatable.h"

using namespace geovanta;
using geovanta::test::FakeDialogs;
using Lines = std::vector<std::string>;

namespace {

const std::string kStandIn = GEOVANTA_BIN_DIR "/liboziapi.so";

std::string g17(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string trackPoint(double lat, double lon, double elev, double time) {
    return "oziCreateTrackPoint 1 0 " + g17(lat) + " " + g17(lon) + " " + g17(elev) + " " + g17(time);
}

std::string deleteWp(const std::string& name) { return "oziDeleteWpByName \"" + name + "\""; }

std::string createWp(const std::string& name, double lat, double lon, double time, const std::string& file) {
    return "oziCreateWPex \"" + name + "\" 1 " + g17(lat) + " " + g17(lon) + " 0 " + g17(time) +
           " -1 -1 -1 -1 -1 0 \"\" -1 -1 -1 0 0 0 0 \"" + file + "\" \"\" \"\"";
}

struct Row {
    const char* stat = "";
    std::string name = {};
    double time = 0;
    std::optional<double> lat = {}, lon = {}, elev = {};
    std::string fileName = {};
};

class OziTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        log_ = std::filesystem::temp_directory_path() /
               ("geovanta-ozi-" + std::to_string(::getpid()) + "-" + info->name() + ".log");
        std::filesystem::remove(log_);
        ::setenv("GEOVANTA_OZIAPI_LOG", log_.c_str(), 1);
        ::unsetenv("GEOVANTA_OZIAPI_NOT_RUNNING");
    }
    void TearDown() override {
        ::unsetenv("GEOVANTA_OZIAPI_LOG");
        ::unsetenv("GEOVANTA_OZIAPI_NOT_RUNNING");
        std::filesystem::remove(log_);
    }

    Lines calls() const {
        Lines lines;
        std::ifstream in(log_, std::ios::binary);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    bool logExists() const { return std::filesystem::exists(log_); }

    void add(const Row& r) {
        table.append();
        table.field(FieldId::Stat).setAsString(r.stat);
        table.field(FieldId::Name).setAsString(r.name);
        table.field(FieldId::Time).setAsDateTime(r.time);
        // A shifted time far from the own one, so that sending the wrong one shows.
        table.field(FieldId::VTime).setAsDateTime(r.time + 100);
        if (r.lat) table.field(FieldId::Lat).setAsFloat(*r.lat);
        if (r.lon) table.field(FieldId::Lon).setAsFloat(*r.lon);
        if (r.elev) table.field(FieldId::Elev).setAsFloat(*r.elev);
        if (!r.fileName.empty()) table.field(FieldId::FileName).setAsString(r.fileName);
        table.post();
    }
    double timeOf(std::size_t row) const { return table.real(row, FieldId::Time); }

    void expectCursorBackOnFirstRow() const {
        EXPECT_EQ(table.recNo(), 0u);
        EXPECT_FALSE(table.displaySuspended());
    }

    std::filesystem::path log_;
    DataTable table;
    FakeDialogs dialogs;
    OziLibrary library{kStandIn};
    OziTransfer transfer{library, table, dialogs};
};

void expectMessages(const FakeDialogs& d, const std::vector<std::pair<MessageKind, std::string>>& expected) {
    ASSERT_EQ(d.messages.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(d.messages[i].kind, expected[i].first) << i;
        EXPECT_EQ(d.messages[i].text, expected[i].second) << i;
    }
}

constexpr double kDay = 40513.0;  // 1 December 2010

}  // namespace

TEST_F(OziTransferTest, EmptyTableClearsTrackAndShowsIt) {
    transfer.sendTrack();
    EXPECT_EQ(calls(), (Lines{"oziFindOzi", "oziClearTrack 1", "oziShowAllTracks"}));
    expectMessages(dialogs, {{MessageKind::Information, "Путь передан в OziExplorer"}});

    transfer.sendPhotos();
    EXPECT_EQ(calls(), (Lines{"oziFindOzi", "oziClearTrack 1", "oziShowAllTracks", "oziFindOzi", "oziShowAllTracks"}));
    expectMessages(dialogs, {{MessageKind::Information, "Путь передан в OziExplorer"},
                             {MessageKind::Information, "Координаты фотографий переданы в OziExplorer"}});
}

TEST_F(OziTransferTest, TrackSendsEveryNonPhotoRowInTableOrderWithItsOwnTime) {
    add({"T", "track-1", kDay + 0.25, 55.751234567891, 37.618765432109, 512.5});
    add({"F", "IMG_0001", kDay + 0.26, 55.76, 37.62, 600.0, "/photos/IMG_0001.JPG"});
    add({"P", "waypoint", kDay + 0.1234567, -33.5, -70.25, -12.75});
    add({"T", "track-2", kDay + 0.3, 56.0, 38.0});  // no altitude: sent as 0
    table.moveTo(3);

    transfer.sendTrack();
    EXPECT_EQ(calls(), (Lines{"oziFindOzi", "oziClearTrack 1",
                              trackPoint(55.751234567891, 37.618765432109, 512.5, timeOf(0)),
                              trackPoint(-33.5, -70.25, -12.75, timeOf(2)), trackPoint(56.0, 38.0, 0, timeOf(3)),
                              "oziShowAllTracks"}));
    expectMessages(dialogs, {{MessageKind::Information, "Путь передан в OziExplorer"}});
    expectCursorBackOnFirstRow();
}

TEST_F(OziTransferTest, PhotosAreSentOnlyWithBothCoordinatesNonZero) {
    add({"T", "track", kDay, 55.0, 37.0});
    add({"F", "greenwich", kDay + 0.01, 51.4779, 0.0, {}, "/p/greenwich.JPG"});
    add({"F", "equator", kDay + 0.02, 0.0, 37.5, {}, "/p/equator.JPG"});
    add({"F", "unplaced", kDay + 0.03, {}, {}, {}, "/p/unplaced.JPG"});
    add({"F", "placed", kDay + 0.04, 55.5, 37.25, 700.0, "/p/placed.JPG"});
    add({"P", "wpt", kDay + 0.05, 55.6, 37.3});
    table.moveTo(4);

    transfer.sendPhotos();
    EXPECT_EQ(calls(), (Lines{"oziFindOzi", deleteWp("placed"), createWp("placed", 55.5, 37.25, timeOf(4), "/p/placed.JPG"),
                              "oziShowAllTracks"}));
    expectMessages(dialogs, {{MessageKind::Information, "Координаты фотографий переданы в OziExplorer"}});
    expectCursorBackOnFirstRow();
}

TEST_F(OziTransferTest, SendingPhotosAgainDeletesBeforeEveryCreate) {
    add({"F", "IMG_0001", kDay + 0.1, 55.1, 37.1, {}, "/p/IMG_0001.JPG"});
    add({"F", "IMG_0002", kDay + 0.2, 55.2, 37.2, {}, "/p/IMG_0002.JPG"});
    const Lines once{"oziFindOzi",
                     deleteWp("IMG_0001"),
                     createWp("IMG_0001", 55.1, 37.1, timeOf(0), "/p/IMG_0001.JPG"),
                     deleteWp("IMG_0002"),
                     createWp("IMG_0002", 55.2, 37.2, timeOf(1), "/p/IMG_0002.JPG"),
                     "oziShowAllTracks"};

    transfer.sendPhotos();
    transfer.sendPhotos();
    Lines twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(calls(), twice);
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(OziTransferTest, PhotosOfTheSameNameAndTextBytesPassUnchanged) {
    // A JPEG and a raw file of one shot share the name; the later deletion
    // removes the waypoint just made for the earlier one. Names go out as the
    // bytes the table holds: UTF-8 and Windows-1251 alike.
    const std::string cp1251 = "\xD4\xEE\xF2\xEE";  // "Фото" in Windows-1251
    add({"F", "IMG_0001", kDay + 0.1, 55.1, 37.1, {}, "/p/IMG_0001.JPG"});
    add({"F", "IMG_0001", kDay + 0.1, 55.1, 37.1, {}, "/p/IMG_0001.NEF"});
    add({"F", cp1251, kDay + 0.2, 55.2, 37.2, {}, "/фото/" + cp1251 + ".JPG"});

    transfer.sendPhotos();
    EXPECT_EQ(calls(), (Lines{"oziFindOzi", deleteWp("IMG_0001"),
                              createWp("IMG_0001", 55.1, 37.1, timeOf(0), "/p/IMG_0001.JPG"), deleteWp("IMG_0001"),
                              createWp("IMG_0001", 55.1, 37.1, timeOf(1), "/p/IMG_0001.NEF"), deleteWp(cp1251),
                              createWp(cp1251, 55.2, 37.2, timeOf(2), "/фото/" + cp1251 + ".JPG"),
                              "oziShowAllTracks"}));
}

TEST_F(OziTransferTest, NotRunningStopsAfterTheQuestion) {
    add({"T", "track", kDay, 55.0, 37.0});
    add({"F", "photo", kDay + 0.01, 55.0, 37.0, {}, "/p/photo.JPG"});
    table.moveTo(1);
    const std::vector<std::pair<MessageKind, std::string>> refused{
        {MessageKind::Error, "Запустите программу OziExplorer"}, {MessageKind::Error, "Запустите программу OziExplorer"}};

    ::setenv("GEOVANTA_OZIAPI_NOT_RUNNING", "1", 1);
    transfer.sendTrack();
    transfer.sendPhotos();
    EXPECT_EQ(calls(), (Lines{"oziFindOzi", "oziFindOzi"}));
    expectMessages(dialogs, refused);
    EXPECT_EQ(table.recNo(), 1u);  // nothing touched

    // Without the log variable the stand-in answers "not running" as well.
    ::unsetenv("GEOVANTA_OZIAPI_NOT_RUNNING");
    ::unsetenv("GEOVANTA_OZIAPI_LOG");
    dialogs.messages.clear();
    transfer.sendTrack();
    transfer.sendPhotos();
    expectMessages(dialogs, refused);
    EXPECT_EQ(calls().size(), 2u);
}

TEST_F(OziTransferTest, UnusableLibraryActsAsNotRunningAndClosesQuietly) {
    // A library that cannot be found, and one that loads but lacks the functions.
    const std::string qtCore = QLibraryInfo::path(QLibraryInfo::LibrariesPath).toStdString() + "/libQt6Core.so.6";
    ASSERT_TRUE(std::filesystem::exists(qtCore));
    for (const std::string& path : {std::string("/nonexistent/liboziapi.so"), qtCore}) {
        SCOPED_TRACE(path);
        add({"F", "photo", kDay, 55.0, 37.0, {}, "/p/photo.JPG"});
        OziLibrary unusable(path);
        FakeDialogs d;
        OziTransfer t(unusable, table, d);
        t.sendTrack();
        t.sendPhotos();
        t.shutdown();
        EXPECT_FALSE(unusable.bind());
        expectMessages(d, {{MessageKind::Error, "Запустите программу OziExplorer"},
                           {MessageKind::Error, "Запустите программу OziExplorer"}});
        EXPECT_FALSE(logExists());
    }
}

TEST_F(OziTransferTest, ShutdownClosesOnceFromTheExecutableFolder) {
    // The test program lives beside the stand-in, so the usual place finds it.
    OziLibrary beside;
    OziTransfer t(beside, table, dialogs);
    t.shutdown();
    t.shutdown();
    EXPECT_EQ(calls(), (Lines{"oziCloseApi"}));

    transfer.sendTrack();
    transfer.shutdown();
    transfer.shutdown();
    EXPECT_EQ(calls(), (Lines{"oziCloseApi", "oziFindOzi", "oziClearTrack 1", "oziShowAllTracks", "oziCloseApi"}));
}

namespace {

// Records where each text argument comes from, which the log cannot show.
class TextRecorder : public OziApi {
public:
    std::vector<char**> empties;
    std::vector<char**> names;

    int32_t findOzi() override { return 0; }
    void clearTrack(int32_t) override {}
    void createTrackPoint(int32_t, int32_t, double, double, double, double) override {}
    void showAllTracks() override {}
    void deleteWpByName(char** name) override { names.push_back(name); }
    void createWPex(char** name, int32_t, double, double, double, double, int32_t, int32_t, int32_t, int32_t,
                    int32_t, int32_t, char** arg13, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                    char**, char** arg22, char** arg23) override {
        names.push_back(name);
        empties.insert(empties.end(), {arg13, arg22, arg23});
    }
    void closeApi() override {}
};

}  // namespace

TEST(OziTransfer, EmptyTextsShareOneVariableAndNameIsTheSameForDeleteAndCreate) {
    DataTable table;
    table.append();
    table.field(FieldId::Stat).setAsString("F");
    table.field(FieldId::Name).setAsString("IMG");
    table.field(FieldId::Lat).setAsFloat(1);
    table.field(FieldId::Lon).setAsFloat(2);
    table.post();
    TextRecorder api;
    FakeDialogs dialogs;
    OziTransfer(api, table, dialogs).sendPhotos();

    ASSERT_EQ(api.empties.size(), 3u);
    EXPECT_EQ(api.empties[0], api.empties[1]);
    EXPECT_EQ(api.empties[0], api.empties[2]);
    ASSERT_EQ(api.names.size(), 2u);
    EXPECT_EQ(api.names[0], api.names[1]);
}
