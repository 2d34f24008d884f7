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
#include <utility>
#include <vector>

#include "app/commands/ozicommands.h"
#include "app/programpaths.h"
#include "app/programstate.h"
#include "runtime/ozilibrary.h"
#include "support/documentrows.h"
#include "support/fakedialogs.h"
#include "table/datatable.h"
#include "support/language.h"

using namespace geovanta;
using geovanta::test::FakeDialogs;
using Lines = std::vector<std::string>;
using Messages = std::vector<std::pair<MessageKind, std::string>>;

namespace {

constexpr double kDay = 40513.0;  // 1 December 2010
const std::string kTrackSent = "Путь передан в OziExplorer";
const std::string kPhotosSent = "Координаты фотографий переданы в OziExplorer";
const std::pair<MessageKind, std::string> kNotRunning{MessageKind::Error, "Запустите программу OziExplorer"};

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
Messages messagesOf(const FakeDialogs& d) {
    Messages m;
    for (const auto& x : d.messages) m.emplace_back(x.kind, x.text);
    return m;
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
        log_ = std::filesystem::temp_directory_path() /
               ("geovanta-ozi-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log");
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
    Messages messages() const { return messagesOf(dialogs); }

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
    Document document{ProgramState{}, SettingsFile(std::string())};
    DataTable& table = test::rowsOf(document);
    FakeDialogs dialogs;
    OziLibrary library{GEOVANTA_BIN_DIR "/liboziapi.so"};
    OziTransfer oziTransfer{library, table};
    OziCommands transfer{oziTransfer, dialogs, document};
};

}  // namespace

TEST_F(OziTransferTest, EmptyTableClearsTrackAndShowsIt) {
    geovanta::test::LanguageScope russian(Language::Russian);
    transfer.sendTrack();
    transfer.sendPhotos();
    EXPECT_EQ(calls(), (Lines{"oziFindOzi", "oziClearTrack 1", "oziShowAllTracks", "oziFindOzi", "oziShowAllTracks"}));
    EXPECT_EQ(messages(), (Messages{{MessageKind::Information, kTrackSent}, {MessageKind::Information, kPhotosSent}}));
}

TEST_F(OziTransferTest, TrackSendsEveryNonPhotoRowInTableOrderWithItsOwnTime) {
    geovanta::test::LanguageScope russian(Language::Russian);
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
    EXPECT_EQ(messages(), (Messages{{MessageKind::Information, kTrackSent}}));
    expectCursorBackOnFirstRow();
}

TEST_F(OziTransferTest, PhotosAreSentOnlyWithBothCoordinatesNonZero) {
    geovanta::test::LanguageScope russian(Language::Russian);
    add({"T", "track", kDay, 55.0, 37.0});
    add({"F", "greenwich", kDay + 0.01, 51.4779, 0.0, {}, "/p/greenwich.JPG"});
    add({"F", "equator", kDay + 0.02, 0.0, 37.5, {}, "/p/equator.JPG"});
    add({"F", "unplaced", kDay + 0.03, {}, {}, {}, "/p/unplaced.JPG"});
    add({"F", "placed", kDay + 0.04, 55.5, 37.25, 700.0, "/p/placed.JPG"});
    add({"P", "wpt", kDay + 0.05, 55.6, 37.3});
    table.moveTo(4);

    transfer.sendPhotos();
    EXPECT_EQ(calls(), (Lines{"oziFindOzi", deleteWp("placed"),
                              createWp("placed", 55.5, 37.25, timeOf(4), "/p/placed.JPG"), "oziShowAllTracks"}));
    EXPECT_EQ(messages(), (Messages{{MessageKind::Information, kPhotosSent}}));
    expectCursorBackOnFirstRow();
}

TEST_F(OziTransferTest, RepeatedAndSameNamedPhotosAreDeletedBeforeEveryCreate) {
    geovanta::test::LanguageScope russian(Language::Russian);
    // A JPEG and a raw file of one shot share the name: the later deletion
    // removes the waypoint just made for the earlier one. Texts go out as the
    // bytes the table holds, UTF-8 and Windows-1251 alike.
    const std::string cp1251 = "\xD4\xEE\xF2\xEE";  // "Фото" in Windows-1251
    add({"F", "IMG_0001", kDay + 0.1, 55.1, 37.1, {}, "/p/IMG_0001.JPG"});
    add({"F", "IMG_0001", kDay + 0.1, 55.1, 37.1, {}, "/p/IMG_0001.NEF"});
    add({"F", cp1251, kDay + 0.2, 55.2, 37.2, {}, "/фото/" + cp1251 + ".JPG"});
    const Lines once{"oziFindOzi",
                     deleteWp("IMG_0001"),
                     createWp("IMG_0001", 55.1, 37.1, timeOf(0), "/p/IMG_0001.JPG"),
                     deleteWp("IMG_0001"),
                     createWp("IMG_0001", 55.1, 37.1, timeOf(1), "/p/IMG_0001.NEF"),
                     deleteWp(cp1251),
                     createWp(cp1251, 55.2, 37.2, timeOf(2), "/фото/" + cp1251 + ".JPG"),
                     "oziShowAllTracks"};

    transfer.sendPhotos();
    transfer.sendPhotos();
    Lines twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(calls(), twice);
    EXPECT_EQ(messages(), (Messages(2, {MessageKind::Information, kPhotosSent})));
}

// A photograph placed by hand at home before the zone was drawn keeps its
// position in the table, but no waypoint tells where it was.
TEST_F(OziTransferTest, PhotographsInAPrivacyZoneAreNotSent) {
    geovanta::test::LanguageScope russian(Language::Russian);
    add({"F", "home", kDay + 0.1, 55.1, 37.1, {}, "/p/home.JPG"});
    add({"F", "away", kDay + 0.2, 55.2, 37.2, {}, "/p/away.JPG"});
    document.state().privacyZones = {{"Дом", 55.1, 37.1, 200}};
    transfer.sendPhotos();
    EXPECT_EQ(calls(), (Lines{"oziFindOzi", deleteWp("away"), createWp("away", 55.2, 37.2, timeOf(1), "/p/away.JPG"),
                              "oziShowAllTracks"}));
}

TEST_F(OziTransferTest, NotRunningStopsAfterTheQuestion) {
    geovanta::test::LanguageScope russian(Language::Russian);
    add({"T", "track", kDay, 55.0, 37.0});
    add({"F", "photo", kDay + 0.01, 55.0, 37.0, {}, "/p/photo.JPG"});
    table.moveTo(1);

    ::setenv("GEOVANTA_OZIAPI_NOT_RUNNING", "1", 1);
    transfer.sendTrack();
    transfer.sendPhotos();
    EXPECT_EQ(calls(), (Lines{"oziFindOzi", "oziFindOzi"}));
    EXPECT_EQ(messages(), (Messages{kNotRunning, kNotRunning}));
    EXPECT_EQ(table.recNo(), 1u);  // nothing touched

    // Without the log variable the stand-in answers "not running" as well.
    ::unsetenv("GEOVANTA_OZIAPI_NOT_RUNNING");
    ::unsetenv("GEOVANTA_OZIAPI_LOG");
    transfer.sendTrack();
    transfer.sendPhotos();
    EXPECT_EQ(messages(), (Messages(4, kNotRunning)));
    EXPECT_EQ(calls().size(), 2u);
}

TEST_F(OziTransferTest, UnusableLibraryActsAsNotRunningAndClosesQuietly) {
    geovanta::test::LanguageScope russian(Language::Russian);
    // A library that cannot be found, and one that loads but lacks the functions.
    const std::string qtCore = QLibraryInfo::path(QLibraryInfo::LibrariesPath).toStdString() + "/libQt6Core.so.6";
    ASSERT_TRUE(std::filesystem::exists(qtCore));
    add({"F", "photo", kDay, 55.0, 37.0, {}, "/p/photo.JPG"});
    for (const std::string& path : {std::string("/nonexistent/liboziapi.so"), qtCore}) {
        SCOPED_TRACE(path);
        OziLibrary unusable(path);
        FakeDialogs d;
        OziTransfer t(unusable, table);
        OziCommands commands(t, d, document);
        commands.sendTrack();
        commands.sendPhotos();
        t.shutdown();
        EXPECT_FALSE(unusable.bind());
        EXPECT_EQ(messagesOf(d), (Messages{kNotRunning, kNotRunning}));
        EXPECT_FALSE(std::filesystem::exists(log_));
    }
}

TEST_F(OziTransferTest, ShutdownClosesOnceFromTheExecutableFolder) {
    // The test program lives beside the stand-in, so the usual place finds it.
    OziLibrary beside(defaultOziLibraryPath());
    OziTransfer t(beside, table);
    t.shutdown();
    t.shutdown();
    EXPECT_EQ(calls(), (Lines{"oziCloseApi"}));

    transfer.sendTrack();
    oziTransfer.shutdown();
    oziTransfer.shutdown();
    EXPECT_EQ(calls(), (Lines{"oziCloseApi", "oziFindOzi", "oziClearTrack 1", "oziShowAllTracks", "oziCloseApi"}));
}
